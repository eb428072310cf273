// The open and save dialogs. A dialog asks the file-dialog service, which shows the platform's
// file dialog in the program and is replaced by tests, so that no test ever blocks on a window.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/core/component.h"

namespace ui {

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofAllowMultiSelect = 1u << 3,
    ofPathMustExist = 1u << 4,
    ofFileMustExist = 1u << 5,
    ofEnableSizing = 1u << 6,
};
using TOpenOptions = unsigned;

enum class TFileDialogKind { Open, Save };

// One filter entry of a "Text|pattern|Text|pattern" filter; a pattern may list several masks
// separated by ";".
struct TFilterEntry {
    std::string description;
    std::string pattern;
};
// Splits a filter text; a trailing description without a pattern is dropped.
std::vector<TFilterEntry> ParseFilter(const std::string& filter);

// What a dialog asks of the service.
struct TFileDialogRequest {
    TFileDialogKind kind = TFileDialogKind::Open;
    std::string title;
    std::vector<TFilterEntry> filters;
    int filter_index = 1;  // 1-based, as the dialog stores it
    std::string default_ext;
    std::string file_name;
    std::string initial_dir;
    TOpenOptions options = 0;
    // The service calls this whenever the user picks another filter while the dialog is open
    // (1-based index); the dialog then fires its OnTypeChange, which may set another default
    // extension: the one in force afterwards is returned.
    std::function<std::string(int filter_index)> type_changed;
};

struct TFileDialogResult {
    bool accepted = false;
    std::vector<std::string> files;  // in the order the user chose them
    int filter_index = 1;            // the filter in use when the dialog closed
};

using TFileDialogService = std::function<TFileDialogResult(const TFileDialogRequest&)>;
// Installs a service; an empty function restores the platform's dialog. Returns the previous one.
// Call from the user-interface thread only.
TFileDialogService SetFileDialogService(TFileDialogService service);

// The filter of every picture format the picture class reads: one entry for all of them first,
// then one per format and extension, in the order of the registry of picture formats.
std::string GraphicFilter();

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TOpenDialog"; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    int FilterIndex() const { return filter_index_; }
    void SetFilterIndex(int v) { filter_index_ = v; }
    // Without a leading dot ("ZRB"); added to a chosen name that has no extension (no dot in
    // its file name).
    const std::string& DefaultExt() const { return default_ext_; }
    void SetDefaultExt(const std::string& v) { default_ext_ = v; }
    const std::string& FileName() const { return file_name_; }
    void SetFileName(const std::string& v) { file_name_ = v; }
    const std::string& InitialDir() const { return initial_dir_; }
    void SetInitialDir(const std::string& v) { initial_dir_ = v; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions v) { options_ = v; }
    // Every chosen file after a confirmed Execute; FileName is the first.
    const std::vector<std::string>& Files() const { return files_; }

    // Shows the dialog; true when the user confirmed a choice.
    virtual bool Execute();

    TNotifyEvent OnTypeChange;

protected:
    virtual TFileDialogKind Kind() const { return TFileDialogKind::Open; }

private:
    std::string WithDefaultExt(const std::string& name) const;

    std::string title_;
    std::string filter_;
    int filter_index_ = 1;
    std::string default_ext_;
    std::string file_name_;
    std::string initial_dir_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    std::vector<std::string> files_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    std::string ClassName() const override { return "TSaveDialog"; }

protected:
    TFileDialogKind Kind() const override { return TFileDialogKind::Save; }
};

}  // namespace ui
