#include "app/import_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/message_box.h"
#include "exchange/browser_import.h"
#include "platform/messages.h"
#include "platform/reporter.h"

namespace tb::app {

namespace {

// Between the entries of a file dialog's filter list.
const QString kFilterSeparator = QStringLiteral(";;");

constexpr int kIndent = 16;

std::filesystem::path to_path(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

QString from_path(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace

SourceControls source_controls(ImportSource source) {
    switch (source) {
        case ImportSource::BookmarkFile:
        case ImportSource::LegacyDatabase:
            return {};
        case ImportSource::Favourites:
            return {.location = false};
        case ImportSource::Shortcuts:
        case ImportSource::HtmlFolder:
            return {.recursive = true};
        case ImportSource::HtmlFile:
            return {.ignore_structure = false};
        case ImportSource::BrowserProfile:
            return {.browser = true};
    }
    return {};
}

ImportDialog::ImportDialog(FolderStore& folders, QWidget* parent)
    : QDialog(parent), folders_(folders) {
    setWindowTitle(tr("Import Data"));
    choose_file = [this](const QString& filter) {
        return QFileDialog::getOpenFileName(this, tr("Open"), QString(), filter);
    };
    choose_folder = [this] {
        return QFileDialog::getExistingDirectory(this, tr("Data location:"));
    };
    discover_profiles = [] {
        return discover_browser_profiles(process_environment(), current_host_system());
    };

    sources_ = new QButtonGroup(this);
    const QString texts[kImportSourceCount] = {
        tr("&Netscape/Mozilla bookmarks"),  tr("Internet &Explorer Favourites"),
        tr("&Tagberry 1.x database"),       tr("internet &shortcuts from disk (recursively)"),
        tr("web links from an &HTML file"), tr("&web links from HTML files (recursively)"),
        tr("Web b&rowser profile"),
    };
    auto* source_box = new QVBoxLayout;
    source_box->setContentsMargins(kIndent, 0, 0, 0);
    for (int i = 0; i < kImportSourceCount; ++i) {
        auto* button = new QRadioButton(texts[i], this);
        sources_->addButton(button, i);
        source_box->addWidget(button);
    }

    ignore_existing_ = new QCheckBox(tr("Ignore e&xisting links"), this);
    ignore_structure_ = new QCheckBox(tr("Ignore &directory structure"), this);
    recursive_ = new QCheckBox(tr("Rec&ursively"), this);
    recursive_->setChecked(true);
    update_earlier_ = new QCheckBox(tr("Update the earlier import of this pr&ofile"), this);
    auto* option_box = new QVBoxLayout;
    option_box->setContentsMargins(kIndent, 0, 0, 0);
    option_box->addWidget(ignore_existing_);
    option_box->addWidget(ignore_structure_);
    option_box->addWidget(recursive_);
    option_box->addWidget(update_earlier_);

    // A display of the remembered path: typed text would not be used, so none can be typed.
    location_ = new QLineEdit(this);
    location_->setMinimumWidth(360);
    browse_ = new QPushButton(tr("&Browse..."), this);
    auto* location_row = new QHBoxLayout;
    location_row->setContentsMargins(kIndent, 0, 0, 0);
    location_row->addWidget(location_, 1);
    location_row->addWidget(browse_);
    profiles_ = new QListWidget(this);
    profiles_->setMaximumHeight(120);
    auto* profiles_row = new QHBoxLayout;
    profiles_row->setContentsMargins(kIndent, 0, 0, 0);
    profiles_row->addWidget(profiles_);

    target_ = new QLineEdit(this);
    auto* target_row = new QHBoxLayout;
    target_row->setContentsMargins(kIndent, 0, 0, 0);
    target_row->addWidget(target_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* proceed = buttons->addButton(tr("&Proceed"), QDialogButtonBox::AcceptRole);
    proceed->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group_label(tr("What do you want to import:")));
    layout->addLayout(source_box);
    layout->addWidget(group_label(tr("Options:")));
    layout->addLayout(option_box);
    QLabel* location_label = group_label(tr("Data &location:"));
    location_label->setBuddy(browse_);
    layout->addWidget(location_label);
    layout->addLayout(location_row);
    layout->addLayout(profiles_row);
    QLabel* target_label = group_label(tr("Tar&get folder name:"));
    target_label->setBuddy(target_);
    layout->addWidget(target_label);
    layout->addLayout(target_row);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The source buttons keep their own order; the rest follows the last of them.
    QWidget* order[] = {sources_->button(kImportSourceCount - 1),
                        ignore_existing_,
                        ignore_structure_,
                        recursive_,
                        update_earlier_,
                        location_,
                        browse_,
                        profiles_,
                        target_,
                        proceed,
                        buttons->button(QDialogButtonBox::Cancel)};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(sources_, &QButtonGroup::idClicked, this,
            [this](RowId id) { select_source(static_cast<ImportSource>(id)); });
    connect(recursive_, &QCheckBox::clicked, this,
            [this](bool checked) { ignore_structure_->setEnabled(checked); });
    connect(browse_, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(location_, &QLineEdit::textEdited, this, &ImportDialog::location_typed);
    connect(profiles_, &QListWidget::currentRowChanged, this, &ImportDialog::profile_chosen);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    select_source(ImportSource::BookmarkFile);
    sources_->button(0)->setFocus();
}

QLabel* ImportDialog::group_label(const QString& text) {
    auto* label = new QLabel(text, this);
    QFont bold = label->font();
    bold.setWeight(QFont::Bold);
    label->setFont(bold);
    group_labels_.append(label);
    return label;
}

QRadioButton* ImportDialog::source_button(ImportSource source) const {
    return static_cast<QRadioButton*>(sources_->button(static_cast<int>(source)));
}

void ImportDialog::select_source(ImportSource source) {
    source_ = source;
    source_button(source)->setChecked(true);
    apply_enabling();
    location_->setText(remembered());
    recompute_target();
}

void ImportDialog::apply_enabling() {
    const SourceControls controls = source_controls(source_);
    location_->setEnabled(controls.location);
    browse_->setEnabled(controls.location);
    ignore_structure_->setEnabled(controls.ignore_structure);
    recursive_->setEnabled(controls.recursive);
    update_earlier_->setEnabled(controls.browser);
    profiles_->setEnabled(controls.browser);
    if (controls.browser) {
        fill_profiles();
    }
}

void ImportDialog::fill_profiles() {
    if (profiles_filled_) {
        return;
    }
    profiles_filled_ = true;
    found_profiles_ = discover_profiles();
    for (const BrowserProfile& profile : found_profiles_) {
        std::optional<int> links = profile_link_count(profile);
        QString title = QString::fromStdString(profile_title(profile));
        profiles_->addItem(links ? tr("%1 (%2 bookmarks)").arg(title).arg(*links) : title);
    }
}

void ImportDialog::profile_chosen(int row) {
    if (row < 0 || row >= static_cast<int>(found_profiles_.size())) {
        return;
    }
    const BrowserProfile& profile = found_profiles_[static_cast<std::size_t>(row)];
    remembered() = from_path(profile.folder);
    location_->setText(remembered());
    target_->setText(QString::fromStdString(folders_.unique_root_title(profile_title(profile))));
}

void ImportDialog::recompute_target() {
    target_->setText(QString::fromStdString(
        proposed_target_name(folders_, source_, remembered().toStdString())));
}

void ImportDialog::browse() {
    QString chosen;
    switch (source_) {
        case ImportSource::Favourites:
            MessageBoxes::show(this, message_text(Message::of(msg::kFavouritesAutomatic)),
                               QMessageBox::Information);
            return;
        case ImportSource::BookmarkFile:
            chosen = choose_file(tr("Mozilla bookmarks (*.html)") + kFilterSeparator +
                                 tr("Bookmark files (*.html *.htm)") + kFilterSeparator +
                                 tr("All files (*)"));
            break;
        case ImportSource::HtmlFile:
            chosen = choose_file(tr("HTML documents (*.html *.htm)") + kFilterSeparator +
                                 tr("All files (*)"));
            break;
        case ImportSource::BrowserProfile:
            chosen = choose_file(
                tr("Browser bookmarks (places.sqlite *.json *.jsonlz4 Bookmarks);;All files (*)"));
            break;
        default:
            chosen = choose_folder();
    }
    if (chosen.isEmpty()) {
        return;
    }
    remembered() = chosen;
    location_->setText(chosen);
    profiles_->setCurrentRow(-1);
    // The legacy database's top folder has a fixed name.
    if (source_ != ImportSource::LegacyDatabase) {
        recompute_target();
    }
}

void ImportDialog::location_typed(const QString& text) {
    remembered() = text;
    if (source_ != ImportSource::LegacyDatabase) {
        recompute_target();
    }
}

bool ImportDialog::look_up_favourites() {
    RecordingReporter reports;
    remembered() = from_path(favourites_folder_path(reports));
    for (const Message& message : reports.messages) {
        MessageBoxes::show(this, message_text(message), QMessageBox::Information);
    }
    return !remembered().isEmpty();
}

void ImportDialog::accept() {
    if (source_ == ImportSource::Favourites) {
        // Without a Favourites folder the import is refused, so the dialog stays for another
        // choice.
        if (!look_up_favourites()) {
            return;
        }
    } else if (int message = missing_path_message(source_, remembered().toStdString())) {
        MessageBoxes::show(this, message_text(Message::of(message)));
        return;
    }
    QDialog::accept();
}

ImportRequest ImportDialog::request() const {
    ImportRequest request;
    request.source = source_;
    request.path = to_path(paths_[static_cast<int>(source_)]);
    request.target = target_->text().toStdString();
    request.options = {
        .ignore_existing = ignore_existing_->isChecked(),
        .ignore_structure = ignore_structure_->isChecked(),
        .recursive = recursive_->isChecked(),
        .update_earlier = source_ == ImportSource::BrowserProfile && update_earlier_->isChecked()};
    return request;
}

}  // namespace tb::app
