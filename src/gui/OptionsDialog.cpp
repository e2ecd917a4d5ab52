#include "gui/OptionsDialog.h"

#include "gui/StringListEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

namespace {

const TOptionDescriptor& Descriptor(const char* option) {
    for (const TOptionDescriptor& d : OptionDescriptors())
        if (qstrcmp(d.Name, option) == 0)
            return d;
    Q_UNREACHABLE();
}

QString Caption(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

OptionsDialog::OptionsDialog(TOptionsDialogState& state, QWidget* parent)
    : QDialog(parent), FState(state), FPages(new QTabWidget), FEditor(new StringListEditor(this)) {
    setWindowTitle(QStringLiteral("Options"));
    setObjectName(QStringLiteral("OptionsDialog"));
    OpenSource = [](const QString& source) {
        // A source the desktop cannot open gives no message.
        QDesktopServices::openUrl(QUrl::fromUserInput(source));
    };
    // Every page's caption stays in sight.
    FPages->setUsesScrollButtons(false);
    using enum TField;
    FPages->addTab(
        FieldPage(
            {{CheckBox, "Recursive", "Recursive search"},
             {CheckBox, "PromptBeforeOverwritingFiles", "Prompt before overwriting files"},
             {CheckBox, "CleanAttributesDuringReadingProcess",
              "Clean attributes during reading process"},
             {CheckBox, "FormatTitleDuringFixingProcess", "Format title during fixing process"},
             {CheckBox, "MoveFeaturingsFromTitleToComments",
              "Move featurings from title to comments"},
             {CheckBox, "EmbedCoverArtDuringFixingProcess",
              "Embed cover art during fixing process"},
             {CheckBox, "ForceFixStateToEnabled", "Force fix state to enabled"},
             {CheckBox, "RememberColumnsSize", "Remember columns size"},
             {NumberWithArrows, "RecentlyUsedFileList", "Recently used file list :"}},
            {DefaultButton(TOptionsPage::Preferences)}),
        QStringLiteral("Preferences"));
    FPages->addTab(FieldPage({{CheckBox, "LimitSearchDepth", "Limit search depth"},
                              {Number, "MaxSearchDepth", "Max search depth :"},
                              {CheckBox, "PreserveFileDateTime", "Preserve file date/time"},
                              {CheckBox, "ExportPlaylistUsingExtendedM3UFormat",
                               "Export playlist using extended M3U format"},
                              {CheckBox, "ExportPlaylistUsingAbsolutePath",
                               "Export playlist using absolute path (instead of relative)"},
                              {Folder, "MusicLibraryHomePath", "Music library home path :"}},
                             {DefaultButton(TOptionsPage::Advanced)}),
                   QStringLiteral("Advanced"));
    FPages->addTab(FieldPage({{Folder, "MP3valPath", "MP3val path :"},
                              {Folder, "MP3GainPath", "MP3Gain path :"},
                              {Number, "MP3GainDefaultVolume", "MP3Gain default volume (dB) :"},
                              {CheckBox, "UseMP3GainUserInterface", "Use MP3Gain user interface"},
                              {Folder, "Mp3tagPath", "Mp3tag path :"}},
                             {}),
                   QStringLiteral("Integration"));
    FPages->addTab(MP3NamePage(), QStringLiteral("MP3 Name"));
    FPages->addTab(CheckListPage(&TOptionSet::Genres, TOptionsPage::Genres),
                   QStringLiteral("Genres"));
    FPages->addTab(CheckListPage(&TOptionSet::Suffixes, TOptionsPage::Suffixes),
                   QStringLiteral("Suffixes"));
    FPages->addTab(CheckListPage(&TOptionSet::UpdateDataFiles, TOptionsPage::UpdateDataFiles),
                   QStringLiteral("Update Data Files"));
    // "IE" on Windows, after the browser whose setting it read; here the desktop session's.
    QWidget* systemProxy = Button("System", "IE", [this] {
        FState.UseSystemProxy();
        ShowValues();
    });
    FPages->addTab(FieldPage({{CheckBox, "UseProxyServer", "Use proxy server"},
                              {Text, "ProxyAddress", "Proxy address :"},
                              {Digits, "ProxyPort", "Proxy port :"}},
                             {systemProxy, DefaultButton(TOptionsPage::Update)}),
                   QStringLiteral("Update"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FPages);
    layout->addWidget(buttons);
    resize(sizeHint().width(), 480);
    ShowValues();
}

bool OptionsDialog::Execute() {
    if (!FState.Open())
        return false;
    FPages->setCurrentIndex(0);
    ShowValues();
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed)
        FState.Confirm();
    else
        FState.Cancel();
    ShowValues();
    return confirmed;
}

QWidget* OptionsDialog::FieldPage(std::initializer_list<TFieldSpec> fields,
                                  const std::vector<QWidget*>& buttons) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (const TFieldSpec& field : fields)
        AddField(layout, field);
    AddPageButtons(layout, buttons);
    return page;
}

QWidget* OptionsDialog::MP3NamePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("MP3 Name Computing"));
    auto* choices = new QVBoxLayout(group);
    FNaming = new QButtonGroup(this);
    const char* captions[] = {"Compact (\"Artist-Title\")",
                              "Expanded (\"Artist - Album Title - Track Number - Title\")",
                              "Folded (\"Track Number - Title\")", "Mixed (Expanded/Folded)"};
    for (int mode = 0; mode < 4; ++mode) {
        auto* choice = new QRadioButton(Caption(captions[mode]));
        choice->setObjectName(QStringLiteral("MP3NameComputing%1").arg(mode));
        FNaming->addButton(choice, mode);
        choices->addWidget(choice);
    }
    connect(FNaming, &QButtonGroup::idToggled, this, [this](int mode, bool on) {
        if (on)
            Changed([mode](TOptionSet& o) { o.MP3NameComputing = mode; });
    });
    FShowers.push_back([this] {
        if (QAbstractButton* choice = FNaming->button(FState.Values().MP3NameComputing))
            choice->setChecked(true);
    });
    layout->addWidget(group);
    AddPageButtons(layout, {DefaultButton(TOptionsPage::MP3Name)});
    return page;
}

QWidget* OptionsDialog::CheckListPage(TCheckList TOptionSet::*list, TOptionsPage page) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    auto* view = new QListWidget;
    view->setObjectName(page == TOptionsPage::Genres     ? QStringLiteral("Genres")
                        : page == TOptionsPage::Suffixes ? QStringLiteral("Suffixes")
                                                         : QStringLiteral("UpdateDataFiles"));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view, list](const QPoint& p) {
        ContextMenu(list)->exec(view->viewport()->mapToGlobal(p));
    });
    connect(view, &QListWidget::itemChanged, this, [this, view, list](QListWidgetItem* item) {
        const int row = view->row(item);
        const bool checked = item->checkState() == Qt::Checked;
        Changed([=](TOptionSet& o) {
            if (row >= 0 && row < (o.*list).size())
                (o.*list)[row].Checked = checked;
        });
    });
    FShowers.push_back([this, view, list] {
        view->clear();
        view->setToolTip(QString());
        for (const TCheckListItem& entry : FState.Values().*list) {
            auto* item = new QListWidgetItem(entry.Text, view);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
        }
    });
    layout->addWidget(view, 1); // the list takes the page's height, not the buttons' stretch

    std::vector<QWidget*> buttons;
    if (page == TOptionsPage::Genres)
        buttons.push_back(Button("Learn From Data File", "LearnFromDataFile", [this] {
            FState.LearnFromDataFile();
            ShowValues();
        }));
    if (page != TOptionsPage::UpdateDataFiles)
        buttons.push_back(Button("Edit...", "Edit", [this, list] { EditList(list); }));
    else {
        FUpdateDataFiles = view;
        connect(view, &QListWidget::currentRowChanged, this, [this](int row) {
            FUpdateDataFiles->setToolTip(FState.UpdateDataFileSource(row));
        });
        connect(view, &QListWidget::itemDoubleClicked, this, [this] { OpenSelectedSource(); });
    }
    buttons.push_back(DefaultButton(page));
    AddPageButtons(layout, buttons);
    return widget;
}

void OptionsDialog::AddField(QVBoxLayout* layout, const TFieldSpec& spec) {
    const TOptionDescriptor& d = Descriptor(spec.Option);
    const QString option = QString::fromLatin1(spec.Option);
    QWidget* control = nullptr;
    if (spec.Kind == TField::CheckBox) {
        auto* box = new QCheckBox(Caption(spec.Caption));
        const auto member = std::get<bool TOptionSet::*>(d.Member);
        connect(box, &QCheckBox::toggled, this,
                [this, member](bool on) { Changed([=](TOptionSet& o) { o.*member = on; }); });
        FShowers.push_back([this, box, member] { box->setChecked(FState.Values().*member); });
        layout->addWidget(box);
        control = box;
    } else if (spec.Kind == TField::Number || spec.Kind == TField::NumberWithArrows) {
        auto* field = new QSpinBox;
        field->setRange(d.Minimum, d.Maximum);
        if (spec.Kind == TField::Number)
            field->setButtonSymbols(QAbstractSpinBox::NoButtons);
        const auto member = std::get<int TOptionSet::*>(d.Member);
        connect(field, &QSpinBox::valueChanged, this,
                [this, member](int value) { Changed([=](TOptionSet& o) { o.*member = value; }); });
        FShowers.push_back([this, field, member] { field->setValue(FState.Values().*member); });
        auto* row = new QFormLayout;
        row->addRow(Caption(spec.Caption), field);
        layout->addLayout(row);
        control = field;
    } else {
        auto* field = new QLineEdit;
        const auto member = std::get<QString TOptionSet::*>(d.Member);
        connect(field, &QLineEdit::textChanged, this, [this, member](const QString& text) {
            Changed([=](TOptionSet& o) { o.*member = text; });
        });
        FShowers.push_back([this, field, member] { field->setText(FState.Values().*member); });
        if (spec.Kind == TField::Digits)
            field->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), field));
        auto* label = new QLabel(Caption(spec.Caption));
        label->setBuddy(field);
        layout->addWidget(label);
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(field);
        if (spec.Kind == TField::Folder)
            row->addWidget(BrowseButton(member, option, Caption(spec.Caption)));
        layout->addLayout(row);
        control = field;
    }
    control->setObjectName(option);
    FEnabling.push_back({control, option});
}

QWidget* OptionsDialog::BrowseButton(QString TOptionSet::*field, const QString& option,
                                     QString caption) {
    // The browse button sits at the field's right end; the picker is titled like the field.
    auto* browse = new QToolButton;
    browse->setObjectName(option + QStringLiteral("Browse"));
    browse->setText(QStringLiteral("..."));
    caption.remove(QStringLiteral(" :"));
    connect(browse, &QToolButton::clicked, this, [this, field, caption] {
        FState.BrowseFolder(field, caption);
        ShowValues();
    });
    return browse;
}

void OptionsDialog::AddPageButtons(QVBoxLayout* layout, const std::vector<QWidget*>& buttons) {
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    layout->addLayout(row);
}

QWidget* OptionsDialog::DefaultButton(TOptionsPage page) {
    return Button("Default", "Default", [this, page] {
        FState.Default(page);
        ShowValues();
    });
}

QWidget* OptionsDialog::Button(const char* caption, const char* name,
                               const std::function<void()>& onClick) {
    auto* button = new QPushButton(Caption(caption));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, onClick);
    return button;
}

void OptionsDialog::ShowValues() {
    FShowing = true;
    for (const auto& show : FShowers)
        show();
    FShowing = false;
    ShowEnabling();
}

void OptionsDialog::ShowEnabling() {
    for (const auto& [control, option] : FEnabling)
        control->setEnabled(FState.OptionEnabled(option));
}

void OptionsDialog::Changed(const std::function<void(TOptionSet&)>& change) {
    if (FShowing)
        return;
    change(FState.Values());
    ShowEnabling();
}

QMenu* OptionsDialog::ContextMenu(TCheckList TOptionSet::*list) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    TUpdateDataFilesMenuState state{true, true, true};
    if (list == &TOptionSet::UpdateDataFiles) {
        state = FState.UpdateDataFilesMenu(SelectedUpdateDataFile());
        QAction* browse =
            menu->addAction(QStringLiteral("Browse"), this, [this] { OpenSelectedSource(); });
        browse->setEnabled(state.Browse);
        menu->setDefaultAction(browse);
        menu->addSeparator();
    }
    const auto setAll = [this, list](bool checked) {
        FState.SetAllChecked(list, checked);
        ShowValues();
    };
    menu->addAction(QStringLiteral("Check All"), this, [=] { setAll(true); })
        ->setEnabled(state.CheckAll);
    menu->addAction(QStringLiteral("Uncheck All"), this, [=] { setAll(false); })
        ->setEnabled(state.UncheckAll);
    return menu;
}

void OptionsDialog::EditList(TCheckList TOptionSet::*list) {
    const std::optional<QString> text =
        FEditor->Edit(TOptionsDialogState::EditorTitle(list), FState.EditorText(list));
    if (!text)
        return;
    FState.SetEditorText(list, *text);
    ShowValues();
}

int OptionsDialog::SelectedUpdateDataFile() const {
    const QList<QListWidgetItem*> selected = FUpdateDataFiles->selectedItems();
    return selected.isEmpty() ? -1 : FUpdateDataFiles->row(selected.first());
}

void OptionsDialog::OpenSelectedSource() {
    const QString source = FState.UpdateDataFileSource(SelectedUpdateDataFile());
    if (!source.isEmpty())
        OpenSource(source);
}
