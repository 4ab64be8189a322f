// The gateway's replies as they arrive on the socket: cut into replies the way the session does,
// then read for the login credit, the remaining credit and the error code.
#include "FuzzSupport.h"
#include "net/SMSServer.h"

namespace {
void ReadReply(const QByteArray& reply)
{
    GatewayFrames::IsPositive(reply);
    GatewayFrames::LoginCredit(reply);
    GatewayFrames::SubmitRemaining(reply);
    GatewayFrames::SubmitErrorCode(reply);
    // A number read is exactly the number the text spells.
    constexpr int fallback = -123456789;
    const int value = GatewayFrames::ReadInteger(reply, fallback);
    if (value != fallback) {
        bool ok = false;
        const qint64 spelled = reply.toLongLong(&ok);
        FuzzCheck(ok && spelled == value, "ReadInteger agrees with the decimal text");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input = FuzzBytes(data + 1, size - 1);
    ReadReply(input);
    QByteArray pending;
    ForEachPiece(input, data[0], 64, [&](const QByteArray& piece) {
        pending.append(piece.left(TSMSServer::MaxReplyBytes - pending.size()));
        if (GatewayFrames::EndsALine(pending) || pending.size() >= TSMSServer::MaxReplyBytes)
            ReadReply(GatewayFrames::WithoutLeadingLineBreaks(std::exchange(pending, {})));
    });
    if (!pending.isEmpty())
        ReadReply(GatewayFrames::WithoutLeadingLineBreaks(pending));
    return 0;
}
