// Without libFuzzer a fuzz target is a replayer: it runs every file named on its command line
// (folders: every file in them, in name order) through LLVMFuzzerTestOneInput once.
#include "FuzzSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <vector>

namespace {
bool Replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    // An exact-size copy, as libFuzzer hands its inputs over.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.data(), data.size());
    return true;
}
} // namespace

int main(int argc, char* argv[])
{
    int replayed = 0;
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        QStringList files;
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files.append(it.next());
            files.sort();
        } else {
            files.append(path);
        }
        for (const QString& file : files) {
            std::printf("%s\n", qPrintable(file));
            std::fflush(stdout);
            ok = Replay(file) && ok;
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    if (replayed == 0)
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
    return ok && replayed > 0 ? 0 : 1;
}
