// The settings file: registry export text (UTF-16 with its mark, UTF-8, REGEDIT4) written by
// anyone. What loads must save and load again to the same hive.
#include "FuzzSupport.h"
#include "platform/RegistryStore.h"

namespace {
// Every typed read of every value of key and its subkeys; a wrong type only throws.
void ReadAll(const RegistryStore& store, const QString& key, int depth)
{
    for (const QString& name : store.ValueNames(key)) {
        FuzzCheck(store.Value(key, name).has_value(), "a listed value exists");
        for (int kind = 0; kind < 4; ++kind) {
            try {
                if (kind == 0)
                    store.ReadBool(key, name);
                else if (kind == 1)
                    store.ReadInteger(key, name);
                else if (kind == 2)
                    store.ReadString(key, name);
                else
                    store.ReadDateTime(key, name);
            } catch (const ERegistryException&) {
            }
        }
    }
    if (depth < 8)
        for (const QString& sub : store.SubKeys(key))
            ReadAll(store, key + u'\\' + sub, depth + 1);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString folder = FuzzFolder();
    RegistryStore store(FuzzFile(folder, QStringLiteral("registry.reg"), FuzzBytes(data, size)));
    if (store.Load() != RegistryStore::LoadStatus::Loaded)
        return 0;
    ReadAll(store, QStringLiteral("Software"), 0);
    const QString text = store.ToExportText();
    try {
        store.Save();
    } catch (const ERegistryException&) {
        FuzzCheck(false, "a loaded hive can be saved");
    }
    RegistryStore again(store.FilePath());
    FuzzCheck(again.Load() == RegistryStore::LoadStatus::Loaded, "a saved hive loads");
    FuzzCheck(again.DamagedLines() == 0, "a saved hive has no damaged lines");
    FuzzCheck(again.ToExportText() == text, "a saved hive loads to the same values");
    return 0;
}
