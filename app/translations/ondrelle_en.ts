<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QObject</name>
    <message>
        <source>Fastest</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>&amp;Next &gt;</source>
        <comment>15101</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <comment>15102</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scanning devices</source>
        <comment>15109</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select device that is supports burning CD/DVD</source>
        <comment>15120</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No writable disc is inserted</source>
        <comment>15121</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Testing unit ready</source>
        <comment>15141</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Getting track information</source>
        <comment>15143</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Getting disc information</source>
        <comment>15144</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Building ISO image</source>
        <comment>15145</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Getting current CD/DVD speeds</source>
        <comment>15151</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabling BUP (Buffer Underrun Protection)</source>
        <comment>15152</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Getting BUP (Buffer Underrun Protection) support</source>
        <comment>15153</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%d MBs of cache will be used during burn process</source>
        <comment>15154</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting CD/DVD speeds</source>
        <comment>15167</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sending OPC (Optimum Power Calibration)</source>
        <comment>15168</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disc is not blank, burning is impossible!</source>
        <comment>15171</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning</source>
        <comment>15202</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning Options</source>
        <comment>15210</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can choose various burning options</source>
        <comment>15211</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SCSI Transport</source>
        <comment>15220</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The SCSI transport is a method to access devices</source>
        <comment>15221</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options Summary</source>
        <comment>15223</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have successfully completed the Ondrelle.</source>
        <comment>15229</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completing the Ondrelle</source>
        <comment>15230</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondrelle finished with errors.</source>
        <comment>15231</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondrelle was cancelled by user.</source>
        <comment>15232</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can choose burning mode</source>
        <comment>15234</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning Mode</source>
        <comment>15235</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Selection</source>
        <comment>15447</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CD or DVD burning device to use for Video disc burning.</source>
        <comment>15448</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure to cancel burn Video?</source>
        <comment>15501</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source video file:</source>
        <comment>15509</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disc type</source>
        <comment>16050</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video disc type to burn.</source>
        <comment>16051</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source data</source>
        <comment>16052</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source video data to create video CD/DVD.</source>
        <comment>16053</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t find video template %s</source>
        <comment>16055</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specified file cannot be found</source>
        <comment>16057</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Review the Video CD options you have chosen before proceed with burning.</source>
        <comment>16059</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondrelle is scanning your system for CD and DVD devices.</source>
        <comment>16060</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!</source>
        <comment>16061</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please insert blank CD-R or CD-RW media!</source>
        <comment>16062</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You must select source path for video data!</source>
        <comment>16063</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning video disc</source>
        <comment>16064</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total file(s) size to big for burning on this disc!</source>
        <comment>16065</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>15131</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <comment>15132</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning started</source>
        <comment>15140</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closing session</source>
        <comment>15147</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning completed</source>
        <comment>15148</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eject disc</source>
        <comment>15157</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blank</source>
        <comment>15162</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning mode</source>
        <comment>15169</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning cancelled</source>
        <comment>15173</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination device</source>
        <comment>15308</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <comment>15103</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TMainForm</name>
    <message>
        <source>About </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click Next to start burning.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video disc will be created with the following options chosen:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TSelectTransportForm</name>
    <message>
        <source>Select SCSI transport you want to use for device access:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This transport is preferrable for Windows NT-based systems (NT4/2000/XP/2003/Vista/Win7). It can&apos;t be used for Windows 9x systems (95/98/Me).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This transport is primarily intended for Windows 9x systems, but can be used in Windows NT-based systems.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;SPTI - SCSI Pass Through Interface</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AS&amp;PI - Advanced SCSI Programming Interface</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmAbout</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmBurnMode</name>
    <message>
        <source>Burning Mode is the way of burning data to the disc.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note: CD-Text infromation will be  burned only if Disc-At-Once raw P-W method is used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test mode does everything as in normal burning process, but with the device laser turned off. It allows to test the Data CD/DVD compilation for errors.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disc-At-Once raw P-W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disc-At-Once PQ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Session-At-Once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track-At-Once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning &amp;Mode:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Test mode (simulate burning)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmBurnOptions</name>
    <message>
        <source>Sending Optimum Power Calibration (OPC) calibrates the device laser power at the beginning of burning session to adjust for the properties of each recordable disc.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Optimal burning speed depends on the disc used and burning device capabilities. Poorly chosen burning speed may result in coaster disc. To determine the best burning speed you can make test burns or consult your device and disc manufacturers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fastest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Multisession mode allows appending data to the disc later. In single session mode data cannot be appended after the disc is burned.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send optimum &amp;power calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning &amp;speed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create &amp;multisession disc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Verify the disc after burning</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmFinalAction</name>
    <message>
        <source>Buffer status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burning log:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click Save Log to save Burning Log text to a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;Log ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the log to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The virtual writer saved the disc as %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The virtual writer saved the disc as %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmFinish</name>
    <message>
        <source>&amp;Finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmOperationProgress</name>
    <message>
        <source>Cancelling...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmSelectDevice</name>
    <message>
        <source>Select CD or DVD burning device from the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Product</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vendor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Revision</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Media </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size, MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Label</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If you have plugged in new devices or changed disc in a drive click Refresh to update devices list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No CD or DVD writer was found. Check that the writer is connected and switched on and that your user may use it (usually as a member of the cdrom group), then click Refresh.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Refresh...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmSourceData</name>
    <message>
        <source>Source directory:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Selected file(s) size: %1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Possible file(s) size: %1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The check of the source was cancelled: choose the source again to have it checked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Source File:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Source Direcotry:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking the source...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking the source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondrelle is checking %1 to see whether it can be burned.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The source is still being checked: press Next once the page shows what was found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The source has changed since it was checked: it is being checked again; press Next once the page shows what was found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The source has changed since it was checked: go back to the source page and choose it again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmVideoOptions</name>
    <message>
        <source>Select the type of video disc you want to burn.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video CD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Super Video CD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DVD Video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video disc &amp;type:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TfrmWelcome</name>
    <message>
        <source>Welcome to the Ondrelle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This wizard will guide you through video disc creation process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ondrelle supports burning video discs from these video file types:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>* Video CD - MPEG 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>* Super Video CD - MPEG 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>* DVD Video - premastered VIDEO_TS folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click Next to continue or Cancel to exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ondrelle::TsbLogList</name>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
