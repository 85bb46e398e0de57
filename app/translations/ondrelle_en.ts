<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
        <source>Cancel</source>
        <comment>15103</comment>
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
</context>
<context>
    <name>ondrelle::TMainForm</name>
    <message>
        <source>About </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
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
</context>
<context>
    <name>ondrelle::TfrmFinish</name>
    <message>
        <source>&amp;Finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
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
        <source>Cancel</source>
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
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
