#pragma once

#include "settings/OptionSet.h"
#include "settings/StoreFile.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

class UiPort;

// How a window was shown when its placement was saved.
enum class TFormState { Normal, Maximized, Minimized };

// A window's placement as the store keeps it; the window code copies it to and from its widget.
struct TFormPlacement {
    int Height = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    TFormState State = TFormState::Normal;
    bool operator==(const TFormPlacement&) const = default;
};

// The per-user settings store: a tree of keys holding named 32-bit integer, string and binary
// values, kept in one file per user (TSettingsFile). Paths below the component's root key use
// "\" between names ("Options\Recursive", "History Lists\Browse"); names compare without regard
// to case. No operation raises an error or stops the program: a write that cannot be done
// answers false and changes nothing, a read that cannot be done answers its default.
class TKelmRegistryEnhanced {
public:
    static inline const QString DefaultKey = QStringLiteral("Software\\Tessaly\\Varnholm");
    // $XDG_CONFIG_HOME/Tessaly/Varnholm/settings.json
    static QString DefaultFileName();

    explicit TKelmRegistryEnhanced(const QString& fileName = DefaultFileName(),
                                   UiPort* ui = nullptr);

    const QString& FileName() const { return FFile.FileName(); }
    // The root key all paths are below. An empty root (or "\") disables the component: writes
    // do nothing and reads answer their defaults.
    const QString& Key() const { return FKey; }
    void SetKey(const QString& key) { FKey = key; }

    bool KeyExists(const QString& ASubKey) const;

    // Writes the value, creating its key and any missing parent key. Booleans are stored as the
    // integer 0 or 1, a double as its 8 bytes of binary data.
    bool SetValue(const QString& AValue, bool AValueData);
    bool SetValue(const QString& AValue, int AValueData);
    bool SetValue(const QString& AValue, const QString& AValueData);
    bool SetValue(const QString& AValue, const char* AValueData); // not a Boolean
    bool SetValue(const QString& AValue, double AValueData);
    bool SetValue(const QString& AValue, const QByteArray& AValueData);
    bool SetStoreValue(const QString& AValue, const TStoreValue& AValueData);

    // The value in the kind it is stored in: a string as QString, an integer as int, binary data
    // as its byte count (int). The default when the value is missing or cannot be read.
    QVariant GetValueDefault(const QString& AValue, const QVariant& AValueDataDefault) const;

    // Deletes the key with its sub-keys and values; false when there was none to delete or the
    // deletion could not be stored. The root key itself cannot be deleted.
    bool DeleteKey(const QString& AKey);
    bool DeleteValue(const QString& AValue);

    // Window placement: «height, left, top, width, state».
    bool SetFormInfo(const QString& AValue, const TFormPlacement& AForm);
    // Restores the stored placement into AForm; when nothing is stored and CenterDefault is
    // true, centres AForm's size on a screen of the given size.
    void GetFormInfo(const QString& AValue, TFormPlacement& AForm, bool CenterDefault,
                     const QSize& screenSize) const;

    // Column widths: «w0, w1, ...». Restoring changes only the columns that have a stored width.
    bool SetListViewInfo(const QString& AValue, const QList<int>& AColumnWidths);
    void GetListViewInfo(const QString& AValue, QList<int>& AColumnWidths) const;
    // Converts the older «w0,w1,...» kept at ASubKey\Columns\Sizes into AValue.
    bool ImportListViewInfo(const QString& ASubKey, const QString& AValue, bool DeleteSubKey);

    // Check list: one integer value per item (1 checked, 0 not), an empty item as the unnamed
    // value. Saving replaces the key whole. Restoring replaces the items when the key exists;
    // otherwise, with CheckAllFirstTime, checks every item the list already holds.
    bool SetCheckListBox(const QString& ASubKey, const TCheckList& AList);
    void GetCheckListBox(const QString& ASubKey, TCheckList& AList, bool CheckAllFirstTime) const;

    // Menu of recent entries: "Count" and "Item0".."ItemN". Saving replaces the key whole;
    // restoring replaces the entries when the key exists.
    bool SetMenu(const QString& ASubKey, const QStringList& AMenu);
    void GetMenu(const QString& ASubKey, QStringList& AMenu) const;
    static constexpr int MaxMenuEntries = 1000; // a damaged "Count" must not flood the menu

    // Holds the store's lock over several writes, which then reach the file together when the
    // batch ends. Other instances wait meanwhile, so their writes are not lost either.
    // A ReadOnly batch takes no lock: its reads all see one state of the file, and writes fail.
    class TBatch {
    public:
        enum class Mode { Write, ReadOnly };
        explicit TBatch(TKelmRegistryEnhanced& store, Mode mode = Mode::Write);
        ~TBatch();
        TBatch(const TBatch&) = delete;
        TBatch& operator=(const TBatch&) = delete;
        // Ends the batch; false when any of its writes could not be stored.
        bool Commit();

    private:
        TKelmRegistryEnhanced* FStore;
    };

    // Why the last failed write failed.
    const QString& LastError() const { return FFile.LastError(); }

private:
    struct TValuePath {
        QStringList Keys; // below the root
        QString Name;
    };
    static QStringList SplitPath(const QString& path);
    static TValuePath SplitValuePath(const QString& path);
    QStringList RootPath() const;
    bool Enabled() const { return !RootPath().isEmpty(); }
    const TStoreKey* FindKey(const QStringList& keys) const;
    const TStoreValue* FindValue(const QString& AValue) const;
    // Applies the change to the key below the root (created when create is true); the change
    // answers whether it changed anything.
    bool ModifyKey(const QStringList& keys, bool create,
                   const std::function<bool(TStoreKey&)>& change);
    bool ReplaceKey(const QString& ASubKey, const std::function<void(TStoreKey&)>& fill);

    QString FKey = DefaultKey;
    mutable TSettingsFile FFile;
};
