#include "cli/OptionsCommand.h"

#include "cli/CliSession.h"

#include <QCommandLineParser>

#include "settings/IntegerText.h"
#include "settings/KelmRegistryEnhanced.h"
#include "settings/OptionPersistence.h"
#include "settings/StoreNames.h"
#include "support/PlatformFolders.h"
#include "support/UiPort.h"

#include <optional>

namespace {

// What a name given on the command line refers to.
struct TOptionName {
    const TOptionDescriptor* Single = nullptr;
    const TCheckListDescriptor* List = nullptr;
    std::optional<QString> Item; // for List: one item, or the whole list
    QString Folder;              // DefFilesPath or AdvancedLibraryFilesPath
};

bool Same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<TOptionName> FindOption(const QString& name) {
    TOptionName found;
    for (const TOptionDescriptor& d : OptionDescriptors())
        if (Same(name, QString::fromLatin1(d.Name))) {
            found.Single = &d;
            return found;
        }
    for (const QString& folder : {StoreNames::DefFilesPath, StoreNames::AdvancedLibraryFilesPath})
        if (Same(name, folder)) {
            found.Folder = folder;
            return found;
        }
    const qsizetype open = name.indexOf(u'[');
    const bool hasItem = open >= 0 && name.endsWith(u']');
    const QString listName = hasItem ? name.left(open) : name;
    for (const TCheckListDescriptor& d : CheckListDescriptors())
        if (Same(listName, d.Name)) {
            found.List = &d;
            if (hasItem)
                found.Item = name.mid(open + 1, name.size() - open - 2);
            return found;
        }
    return std::nullopt;
}

std::optional<bool> ParseBoolean(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == u"1" || t == u"true" || t == u"on")
        return true;
    if (t == u"0" || t == u"false" || t == u"off")
        return false;
    return std::nullopt;
}

QString BooleanText(bool value) {
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString ValueText(const TOptionSet& options, const TOptionDescriptor& d) {
    return std::visit(
        [&](auto member) -> QString {
            const auto& value = options.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                return BooleanText(value);
            else if constexpr (std::is_same_v<T, int>)
                return QString::number(value);
            else
                return value;
        },
        d.Member);
}

QString FolderSetting(const TKelmRegistryEnhanced& store, const QString& name) {
    const QString fallback =
        name == StoreNames::DefFilesPath ? PlatformFolders::DataFolder() : QString();
    return store.GetValueDefault(name, fallback).toString();
}

QStringList CheckListLines(const TOptionSet& options, const TCheckListDescriptor& list) {
    QStringList lines;
    for (const TCheckListItem& item : options.*list.Member)
        lines.append(
            QStringLiteral("%1[%2]=%3").arg(list.Name, item.Text, BooleanText(item.Checked)));
    return lines;
}

} // namespace

void TOptionsCommand::Print(const QString& line) {
    std::fputs(line.toUtf8().constData(), FOut);
    std::fputc('\n', FOut);
}

TOptionsCommand::TOptionsCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(session,
                  {QStringLiteral("options"),
                   {QStringLiteral("list"), QStringLiteral("get NAME"),
                    QStringLiteral("set NAME VALUE"), QStringLiteral("reset")},
                   QStringLiteral("show or change the stored options"),
                   QStringLiteral("NAME is an option name, DefFilesPath, AdvancedLibraryFilesPath"
                                  " or a check list item\nsuch as Genres[Rock]; Booleans are 1 "
                                  "or 0 (also true/false, on/off).\n"),
                   {}},
                  out, err) {}

QStringList TOptionsCommand::ArgumentWords(const QStringList& positional) const {
    if (positional.isEmpty())
        return {"list", "get", "set", "reset"};
    if (positional.size() > 1 || (positional[0] != u"get" && positional[0] != u"set"))
        return {};
    QStringList names;
    for (const TOptionDescriptor& d : OptionDescriptors())
        names.append(QString::fromLatin1(d.Name));
    names << StoreNames::DefFilesPath << StoreNames::AdvancedLibraryFilesPath;
    for (const TCheckListDescriptor& d : CheckListDescriptors())
        names.append(d.Name);
    return names;
}

ExitCode TOptionsCommand::UsageError(const QString& message) {
    FSession.Ui().ShowMessage(UiPort::MessageKind::Error, message);
    std::fputs((Usage() + Syntax().Description).toUtf8().constData(), FErr);
    return ExitCode::Usage;
}

ExitCode TOptionsCommand::Run(const QCommandLineParser& parser) {
    const QStringList args = parser.positionalArguments();
    const QString verb = args.value(0);
    if (verb == u"list" && args.size() == 1)
        return List();
    if (verb == u"get" && args.size() == 2)
        return Get(args[1]);
    if (verb == u"set" && args.size() == 3)
        return Set(args[1], args[2]);
    if (verb == u"reset" && args.size() == 1)
        return Reset();
    if (verb.isEmpty())
        return UsageError(QStringLiteral("The options command needs list, get, set or reset."));
    return UsageError(QStringLiteral("Wrong use of \"options %1\".").arg(verb));
}

ExitCode TOptionsCommand::List() {
    TKelmRegistryEnhanced& store = FSession.State().Store();
    const TOptionSet options = FSession.State().ReadOptionsFromStore();
    for (const TOptionDescriptor& d : OptionDescriptors())
        Print(QString::fromLatin1(d.Name) + u'=' + ValueText(options, d));
    for (const TCheckListDescriptor& list : CheckListDescriptors())
        for (const QString& line : CheckListLines(options, list))
            Print(line);
    for (const QString& folder : {StoreNames::DefFilesPath, StoreNames::AdvancedLibraryFilesPath})
        Print(folder + u'=' + FolderSetting(store, folder));
    return ExitCode::Success;
}

ExitCode TOptionsCommand::Get(const QString& name) {
    const std::optional<TOptionName> option = FindOption(name);
    if (!option)
        return UsageError(QStringLiteral("Unknown option \"%1\".").arg(name));
    TKelmRegistryEnhanced& store = FSession.State().Store();
    if (!option->Folder.isEmpty()) {
        Print(FolderSetting(store, option->Folder));
        return ExitCode::Success;
    }
    const TOptionSet options = FSession.State().ReadOptionsFromStore();
    if (option->Single) {
        Print(ValueText(options, *option->Single));
        return ExitCode::Success;
    }
    if (!option->Item) {
        for (const QString& line : CheckListLines(options, *option->List))
            Print(line);
        return ExitCode::Success;
    }
    for (const TCheckListItem& item : options.*option->List->Member)
        if (Same(item.Text, *option->Item)) {
            Print(BooleanText(item.Checked));
            return ExitCode::Success;
        }
    FSession.Ui().ShowMessage(
        UiPort::MessageKind::Error,
        QStringLiteral("%1 has no item \"%2\".").arg(option->List->Name, *option->Item));
    return ExitCode::Failure;
}

ExitCode TOptionsCommand::Set(const QString& name, const QString& value) {
    const std::optional<TOptionName> option = FindOption(name);
    if (!option)
        return UsageError(QStringLiteral("Unknown option \"%1\".").arg(name));
    const auto invalid = [&](const QString& optionName, const QString& expected) {
        return UsageError(QStringLiteral("\"%1\" is not a valid value for %2: %3.")
                              .arg(value, optionName, expected));
    };
    const QString booleanExpected = QStringLiteral("use 1 or 0 (or true/false, on/off)");

    // The value is checked before the program starts up, so that a wrong one writes nothing.
    bool stored = false;
    if (!option->Folder.isEmpty()) {
        stored = FSession.State().Store().SetValue(option->Folder, value);
    } else if (option->Single) {
        const TOptionDescriptor& d = *option->Single;
        const QString optionName = QString::fromLatin1(d.Name);
        TOptionSet options;
        if (auto member = std::get_if<bool TOptionSet::*>(&d.Member)) {
            const std::optional<bool> b = ParseBoolean(value);
            if (!b)
                return invalid(optionName, booleanExpected);
            options.** member = *b;
        } else if (auto member = std::get_if<int TOptionSet::*>(&d.Member)) {
            const std::optional<qint32> n = ParseInt32(value);
            if (!n || *n < d.Minimum || *n > d.Maximum)
                return invalid(optionName, QStringLiteral("use a whole number from %1 to %2")
                                               .arg(d.Minimum)
                                               .arg(d.Maximum));
            options.** member = *n;
        } else {
            auto text = std::get<QString TOptionSet::*>(d.Member);
            // The port is a string in the store, but only ever one of digits.
            if (text == &TOptionSet::ProxyPort &&
                !std::all_of(value.begin(), value.end(),
                             [](QChar c) { return c >= u'0' && c <= u'9'; }))
                return invalid(optionName, QStringLiteral("use decimal digits"));
            options.*text = value;
        }
        stored = WriteOption(FSession.State().Store(), d, options);
    } else {
        if (!option->Item)
            return UsageError(QStringLiteral("%1 is a check list: set one item as %1[ITEM] 1|0.")
                                  .arg(option->List->Name));
        const std::optional<bool> checked = ParseBoolean(value);
        if (!checked)
            return invalid(name, booleanExpected);
        TKelmRegistryEnhanced& store = FSession.State().Store();
        TKelmRegistryEnhanced::TBatch batch(store);
        TCheckList list = FSession.State().ReadOptionsFromStore().*option->List->Member;
        auto it = std::find_if(list.begin(), list.end(), [&](const TCheckListItem& item) {
            return Same(item.Text, *option->Item);
        });
        if (it != list.end())
            it->Checked = *checked;
        else
            list.append({*option->Item, *checked});
        SortCheckList(list);
        store.SetCheckListBox(option->List->Name, list);
        stored = batch.Commit();
    }
    if (!stored) {
        FSession.Ui().ShowMessage(UiPort::MessageKind::Error,
                                  QStringLiteral("The settings could not be saved: %1.")
                                      .arg(FSession.State().Store().LastError()));
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}

ExitCode TOptionsCommand::Reset() {
    TKelmRegistryEnhanced& store = FSession.State().Store();
    TKelmRegistryEnhanced::TBatch batch(store);
    store.DeleteKey(StoreNames::OptionsKey);
    for (const TCheckListDescriptor& list : CheckListDescriptors())
        store.DeleteKey(list.Name);
    // The folder settings can be set here, so they are reset here too.
    store.DeleteValue(StoreNames::DefFilesPath);
    store.DeleteValue(StoreNames::AdvancedLibraryFilesPath);
    if (!batch.Commit()) {
        FSession.Ui().ShowMessage(
            UiPort::MessageKind::Error,
            QStringLiteral("The settings could not be reset: %1.").arg(store.LastError()));
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}
