#include "platform/ui/forms/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include "platform/ui/controls/application.h"
#include "platform/ui/forms/form.h"
#include "platform/ui/graphics/picture_formats.h"

namespace ui {

namespace {

std::vector<std::string> SplitPatterns(const std::string& pattern) {
    std::vector<std::string> masks;
    std::string mask;
    for (char c : pattern + ";") {
        if (c == ';') {
            if (!mask.empty()) masks.push_back(mask);
            mask.clear();
        } else if (c != ' ') {
            mask += c;
        }
    }
    return masks;
}

// File masks match case-insensitively where the dialogs came from; Linux names are not, so each
// mask is offered in its lower- and upper-case spelling too.
QString QtNameFilter(const TFilterEntry& entry) {
    QStringList masks;
    for (const auto& m : SplitPatterns(entry.pattern)) {
        const QString mask = QString::fromStdString(m);
        for (const QString& variant : {mask, mask.toLower(), mask.toUpper()}) {
            if (!masks.contains(variant)) masks << variant;
        }
    }
    return QString::fromStdString(entry.description) + " (" + masks.join(' ') + ")";
}

// The 1-based entry the dialog names by `chosen`, 0 for none. With its filter details hidden the
// toolkit names an entry by the text it shows, which is the description alone (its spaces
// simplified), not the filter it was given.
int FilterIndexOf(const std::vector<TFilterEntry>& entries, const QStringList& filters, const QString& chosen) {
    const int given = static_cast<int>(filters.indexOf(chosen));
    if (given >= 0) return given + 1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (QString::fromStdString(entries[i].description).simplified() == chosen.simplified()) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

TFileDialogResult PlatformFileDialog(const TFileDialogRequest& request) {
    QFileDialog dialog;
    // Without a title of its own the dialog keeps the toolkit's "Open" or "Save As"; an empty
    // one would leave the window system to put the program's name there.
    if (!request.title.empty()) dialog.setWindowTitle(QString::fromStdString(request.title));
    // The entry shows its description as the program wrote it (with its patterns, once); the
    // patterns the dialog matches are added behind it only for the toolkit to read.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.kind == TFileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.kind == TFileDialogKind::Open) {
        const bool many = (request.options & ofAllowMultiSelect) != 0;
        const bool must = (request.options & ofFileMustExist) != 0;
        dialog.setFileMode(many ? QFileDialog::ExistingFiles : must ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if ((request.options & ofOverwritePrompt) == 0) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The dialog asks about replacing the file the program will write, so it completes a name
    // with the default extension just as the program does afterwards.
    const bool save = request.kind == TFileDialogKind::Save;
    if (save) dialog.setDefaultSuffix(QString::fromStdString(request.default_ext));
    if (!request.initial_dir.empty()) dialog.setDirectory(QString::fromStdString(request.initial_dir));
    if (!request.file_name.empty()) dialog.selectFile(QString::fromStdString(request.file_name));
    QStringList filters;
    for (const auto& f : request.filters) filters << QtNameFilter(f);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index =
            request.filter_index >= 1 && request.filter_index <= filters.size() ? request.filter_index : 1;
        dialog.selectNameFilter(filters[index - 1]);
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, [&](const QString& chosen) {
        const int index = FilterIndexOf(request.filters, filters, chosen);
        if (index < 1 || !request.type_changed) return;
        Guarded([&] {
            const std::string ext = request.type_changed(index);
            if (save) dialog.setDefaultSuffix(QString::fromStdString(ext));
        });
    });
    TFileDialogResult result;
    result.filter_index = request.filter_index;
    // As every modal window of the program: minimised and restored with the window it blocks,
    // so that a minimised dialog cannot leave that window blocked with nothing on the screen,
    // and that window gets the input back when the dialog closes.
    const QPointer<QWidget> under = QApplication::activeWindow();
    BelongToBlockedWindow(dialog);
    const int answer = dialog.exec();
    GiveInputBack(under, dialog);
    if (answer != QDialog::Accepted) return result;
    result.accepted = true;
    for (const QString& f : dialog.selectedFiles()) result.files.push_back(f.toStdString());
    const int index = FilterIndexOf(request.filters, filters, dialog.selectedNameFilter());
    if (index >= 1) result.filter_index = index;
    return result;
}

TFileDialogService& Service() {
    static TFileDialogService service;
    return service;
}

// The toolkit's dialog completes the same names (any dot in the file name counts), so the name
// it asked about replacing is the name written.
bool HasExtension(const std::string& name) {
    const auto slash = name.find_last_of('/');
    return name.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

}  // namespace

std::vector<TFilterEntry> ParseFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : filter) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    std::vector<TFilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], parts[i + 1]});
    return entries;
}

std::string GraphicFilter() {
    // The formats of the picture registry in its order, an entry for each of their extensions.
    std::string all;
    std::string each;
    for (const TPictureFormatInfo& format : PictureFormats()) {
        for (std::string_view extension : format.extensions) {
            if (extension.empty()) continue;
            const std::string mask = "*." + std::string(extension);
            all += (all.empty() ? "" : ";") + mask;
            each += "|" + std::string(format.description) + " (" + mask + ")|" + mask;
        }
    }
    return "All (" + all + ")|" + all + each;
}

TFileDialogService SetFileDialogService(TFileDialogService service) {
    std::swap(Service(), service);
    return service;
}

std::string TOpenDialog::WithDefaultExt(const std::string& name) const {
    if (default_ext_.empty() || HasExtension(name)) return name;
    return name + "." + default_ext_;
}

bool TOpenDialog::Execute() {
    TFileDialogRequest request;
    request.kind = Kind();
    request.title = title_;
    request.filters = ParseFilter(filter_);
    request.filter_index = filter_index_;
    request.default_ext = default_ext_;
    request.file_name = file_name_;
    request.initial_dir = initial_dir_;
    request.options = options_;
    request.type_changed = [this](int index) {
        filter_index_ = index;
        if (OnTypeChange) OnTypeChange(this);
        return default_ext_;
    };
    const TFileDialogService service = Service();
    const TFileDialogResult result = service ? service(request) : PlatformFileDialog(request);
    filter_index_ = result.filter_index;
    if (!result.accepted || result.files.empty()) return false;
    files_.clear();
    // The default extension in force when the dialog closed (a type change may have set it).
    for (const auto& f : result.files) files_.push_back(WithDefaultExt(f));
    file_name_ = files_.front();
    return true;
}

}  // namespace ui
