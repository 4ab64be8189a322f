// brelmont-xls-reader FILE: reads an Excel 97-2003 workbook through FreeXL and writes its
// records to standard output (lists/XlsReply.h). The list import runs it as a process of its
// own, so whatever FreeXL does on a damaged file ends here.
#include "lists/XlsReply.h"
#include "lists/xlsreader/XlsWorkbook.h"

#include <QFile>
#include <cstdio>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define BRELMONT_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRELMONT_ADDRESS_SANITIZER 1
#endif
#endif

namespace {
// Lowers a resource limit to most (never raises it).
void Lower(int resource, rlim_t most)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0)
        return;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < most)
        most = limit.rlim_max;
    limit.rlim_cur = most;
    limit.rlim_max = most;
    setrlimit(resource, &limit);
}
} // namespace

int main(int argc, char* argv[])
{
    // No core file of a crash; CPU time within the caller's two-minute wait; memory far above
    // what a 512 MB workbook needs (not under the address sanitizer, whose shadow memory
    // takes terabytes of address space).
    Lower(RLIMIT_CORE, 0);
    Lower(RLIMIT_CPU, 100);
#ifndef BRELMONT_ADDRESS_SANITIZER
    Lower(RLIMIT_AS, rlim_t(4) << 30);
#endif
    if (argc != 2) {
        std::fputs("usage: brelmont-xls-reader FILE\n", stderr);
        return 2;
    }
    const QByteArray reply = EncodeXlsReply(ReadXlsWorkbook(QFile::decodeName(argv[1])));
    const size_t size = size_t(reply.size());
    return std::fwrite(reply.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0 ? 0 : 1;
}
