#pragma once
// The volume label as each name space of the image records it: ISO 9660
// keeps 32 upper-case letters, digits and "_", Joliet 16 characters without
// control characters and * / : ; ? \.

#include <QString>
#include <QStringList>

namespace ondrelle {

QString IsoVolumeLabel(const QString& label);
QString JolietVolumeLabel(const QString& label);

/// One warning line for each name space that records `label` differently
/// from what was given (beyond ISO 9660's upper case); none when it fits.
QStringList VolumeLabelWarnings(const QString& label);

}  // namespace ondrelle
