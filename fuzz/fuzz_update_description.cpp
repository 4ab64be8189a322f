// The update description (brelmontversion.xml) and the version texts it carries.
#include "FuzzSupport.h"
#include "update/LastVersion.h"
#include "update/UpdateVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    QString error;
    const TRecLastVersion record = ParseLastVersion(input, &error);
    FuzzCheck(error.isEmpty() || (record.Version.isEmpty() && record.Setup.isEmpty() && !record.Complete),
              "a malformed description gives an empty record");
    for (const QString& version : {record.Version, QString::fromLatin1(input)}) {
        FullVersionNumber(version);
        ReleaseVersionNumber(version);
        IsNewerVersion(version, QStringLiteral("2.0.0.1"), true);
        IsNewerVersion(QStringLiteral("2.0.0.1"), version, false);
    }
    return 0;
}
