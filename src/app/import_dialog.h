#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "exchange/browser_profiles.h"
#include "exchange/import_driver.h"
#include "model/folder_store.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tb::app {

inline constexpr int kImportSourceCount = 7;

// Which controls a source enables; "Ignore existing links" is always enabled.
struct SourceControls {
    bool location = true;  // the location edit and "Browse..."
    bool ignore_structure = true;
    bool recursive = false;
    bool browser = false;  // the profile list and "Update the earlier import of this profile"
};

SourceControls source_controls(ImportSource source);

// "Import Data": the source, the three options, the file or folder (chosen only through
// "Browse...", one remembered path per source) and the name of the new top folder.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    explicit ImportDialog(FolderStore& folders, QWidget* parent = nullptr);

    // The import the user asked for; meaningful once the dialog was accepted.
    ImportRequest request() const;

    ImportSource source() const { return source_; }
    void select_source(ImportSource source);
    void browse();
    // A typed path counts as a browsed one.
    void location_typed(const QString& text);
    void accept() override;

    // The pickers are replaceable so tests can choose paths without showing a dialog. Both
    // return an empty text when the user cancels.
    std::function<QString(const QString& filter)> choose_file;
    std::function<QString()> choose_folder;
    // The browser profiles offered; looked up the first time that source is chosen.
    std::function<std::vector<BrowserProfile>()> discover_profiles;

    QRadioButton* source_button(ImportSource source) const;
    QCheckBox* ignore_existing() const { return ignore_existing_; }
    QCheckBox* ignore_structure() const { return ignore_structure_; }
    QCheckBox* recursive() const { return recursive_; }
    QCheckBox* update_earlier() const { return update_earlier_; }
    QListWidget* profiles() const { return profiles_; }
    QLineEdit* location() const { return location_; }
    QPushButton* browse_button() const { return browse_; }
    QLineEdit* target() const { return target_; }
    const QList<QLabel*>& group_labels() const { return group_labels_; }

private:
    QLabel* group_label(const QString& text);
    void apply_enabling();
    void recompute_target();
    QString& remembered() { return paths_[static_cast<int>(source_)]; }
    bool look_up_favourites();
    void fill_profiles();
    void profile_chosen(int row);

    FolderStore& folders_;
    ImportSource source_ = ImportSource::BookmarkFile;
    std::array<QString, kImportSourceCount> paths_;
    QButtonGroup* sources_;
    QCheckBox* ignore_existing_;
    QCheckBox* ignore_structure_;
    QCheckBox* recursive_;
    QCheckBox* update_earlier_;
    QListWidget* profiles_;
    std::vector<BrowserProfile> found_profiles_;
    bool profiles_filled_ = false;
    QLineEdit* location_;
    QPushButton* browse_;
    QLineEdit* target_;
    QList<QLabel*> group_labels_;
};

}  // namespace tb::app
