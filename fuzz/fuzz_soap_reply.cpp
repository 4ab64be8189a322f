// The phone-book web service's replies. The first byte chooses the operation whose reply this is
// and how the bytes arrive; read whole and read in pieces, a reply must come out the same.
#include "FuzzSupport.h"
#include "phonebook/TarvoSoap.h"

namespace {
struct TOutcome
{
    TSoapReplyReader::State state;
    bool fault;
    QString faultString;
    std::optional<QString> text;
    QList<qint32> folders;
    QList<qint32> contacts;
    bool operator==(const TOutcome&) const = default;
};

struct TOperation
{
    const char* name;
    TSoapReplyReader::Result kind;
};
constexpr TOperation kOperations[] = {
    {"GetFolderLists", TSoapReplyReader::Result::Folders},
    {"GetFolderContacts", TSoapReplyReader::Result::Contacts},
    {"AddNewContact", TSoapReplyReader::Result::Text},
    {"GetContactDetails", TSoapReplyReader::Result::Contact},
};

template <typename Feed> TOutcome Read(const TOperation& operation, Feed&& feed)
{
    TOutcome outcome{};
    TSoapReplyReader reader(QString::fromLatin1(operation.name), operation.kind);
    reader.OnFolder([&](const TRecordFolder& folder) { outcome.folders.append(folder.FolderID); });
    reader.OnContact([&](const TRemoteContact& contact) { outcome.contacts.append(contact.ID); });
    feed(reader);
    outcome.state = reader.Finish();
    FuzzCheck(outcome.state != TSoapReplyReader::State::Failed || !reader.ErrorText().isEmpty(),
              "a failed reply says why");
    outcome.fault = reader.IsFault();
    outcome.faultString = reader.FaultString();
    outcome.text = reader.ResultText();
    // A failed reply is used for its error only: what it handed over or held before it failed
    // (items, result text, fault fields) is dropped by its caller.
    if (outcome.state == TSoapReplyReader::State::Failed) {
        outcome.folders = outcome.contacts = {};
        outcome.text.reset();
        outcome.fault = false;
        outcome.faultString.clear();
    }
    return outcome;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const TOperation& operation = kOperations[data[0] % std::size(kOperations)];
    const QByteArray reply = FuzzBytes(data + 1, size - 1);
    const TOutcome whole = Read(operation, [&](TSoapReplyReader& reader) { reader.AddData(reply); });
    const TOutcome pieces = Read(operation, [&](TSoapReplyReader& reader) {
        ForEachPiece(reply, data[0] / 4, 97, [&](const QByteArray& piece) { reader.AddData(piece); });
    });
    FuzzCheck(whole == pieces, "a reply read in pieces comes out as read whole");
    return 0;
}
