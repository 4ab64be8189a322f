// What a SOCKS5 proxy answers to the client's greeting, authentication and connect request. The
// first byte chooses the client's settings and how the answer is cut into pieces.
#include "FuzzSupport.h"
#include "net/Socks5.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TfndSocks5Proxy proxy;
    proxy.Host = QStringLiteral("127.0.0.1");
    proxy.UseAuthentication = data[0] & 1;
    proxy.Username = QStringLiteral("mario");
    proxy.Password = QStringLiteral("segreto");
    proxy.ResolveThroughProxy = data[0] & 2;
    const QString target =
        data[0] & 4 ? QStringLiteral("gateway.tarvotelecom.example") : QStringLiteral("10.1.2.3");
    TSocks5Negotiation negotiation(proxy, target, 26, QHostAddress(QStringLiteral("10.1.2.3")));
    FuzzCheck(negotiation.Start().size() == 3, "the greeting offers one method");

    auto result = TSocks5Negotiation::Result::NeedMore;
    QByteArray input;
    ForEachPiece(FuzzBytes(data + 1, size - 1), data[0] >> 3, 16, [&](const QByteArray& piece) {
        if (result != TSocks5Negotiation::Result::NeedMore)
            return;
        input.append(piece);
        QByteArray output;
        const qsizetype before = input.size();
        result = negotiation.Feed(input, output);
        FuzzCheck(input.size() <= before, "a step only consumes");
        FuzzCheck((result == TSocks5Negotiation::Result::Failed) == (negotiation.ErrorCode() != 0),
                  "a failure, and only a failure, has an error code");
    });
    if (result == TSocks5Negotiation::Result::NeedMore) {
        negotiation.ConnectionClosed();
        FuzzCheck(negotiation.ErrorCode() != 0, "a negotiation cut short fails");
    }
    return 0;
}
