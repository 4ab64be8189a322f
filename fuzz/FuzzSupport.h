#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: each defines LLVMFuzzerTestOneInput; libFuzzer or the corpus
// replayer (ReplayMain.cpp) calls it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// The input without a copy and without a terminating zero, so a reader that runs past the end
// of its bytes is caught by the address sanitizer.
QByteArray FuzzBytes(const uint8_t* data, size_t size);

// A scratch folder of this process (removed at exit), emptied of everything the previous input
// left behind; call it once per input.
QString FuzzFolder();
// Writes the bytes to a file of that name in folder and answers its path; for readers that only
// take a path.
QString FuzzFile(const QString& folder, const QString& name, const QByteArray& bytes);

// A property that must hold for every input; prints what broke and aborts, which the fuzzer
// reports as a finding.
void FuzzCheck(bool holds, const char* property);

// Calls take(chunk) for consecutive pieces of bytes; the piece sizes cycle through 1..maxPiece
// starting at seed, so one input is also read as it would arrive in parts over a network.
template <typename Take> void ForEachPiece(const QByteArray& bytes, unsigned seed, int maxPiece, Take&& take)
{
    qsizetype at = 0;
    unsigned step = seed;
    while (at < bytes.size()) {
        const qsizetype piece = 1 + qsizetype(step++ % unsigned(maxPiece));
        take(bytes.mid(at, piece));
        at += piece;
    }
}
