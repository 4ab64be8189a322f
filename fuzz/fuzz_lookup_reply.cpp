// The service host's answer to a number lookup: the deciphered document, and the same document
// enciphered as it arrives, judged for completeness piece by piece.
#include "FuzzSupport.h"
#include "net/Cipher.h"
#include "net/NumberLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray plain = FuzzBytes(data, size);
    const TLookupReplyParse parse = ParseLookupReply(plain, QStringLiteral("+393331234567"));
    FuzzCheck(parse.state != TLookupReplyParse::Malformed || !parse.error.isEmpty(),
              "a malformed reply says why");
    const QByteArray cipher = EncryptString(plain);
    if (cipher.size() > TNumberLookup::MaxReplyBytes)
        return 0;
    // The judge sees the reply grow by whole cipher blocks, as the exchange hands it over (by
    // ever larger steps, so a long reply does not take the fuzzer's time quadratically).
    for (qsizetype end = 4; end <= cipher.size(); end += 16 * std::max<qsizetype>(1, end / 256)) {
        const auto judgement = TNumberLookup::JudgeReply(cipher.left(end), false, false);
        if (judgement.verdict != TServiceExchange::Verdict::NeedMore)
            break;
    }
    TNumberLookup::JudgeReply(cipher, true, false);
    return 0;
}
