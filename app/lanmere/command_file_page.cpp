#include "lanmere/command_file_page.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "desk/command_files.h"
#include "tarvo/base/object_names.h"
#include "tarvo/downloads.h"

namespace tarvo::app::lanmere {
namespace {

constexpr int kMaxFormat = 99;
constexpr int kMaxPage = 9;
constexpr std::size_t kFileNameAsDescription = 10;  // a file that names nothing is named so

// A number typed for a format or page: digits only, 1 to `highest`; 0 otherwise.
int TypedNumber(const std::string& text, int highest) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int n = std::stoi(text);
    return n >= 1 && n <= highest ? n : 0;
}

bool Contains(const std::vector<std::uint16_t>& ids, std::uint16_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

void CommandFilePage::Load() {
    Reset();
    const CommandFileQueue& queue = desk_.config.commandFiles;
    files_.clear();
    for (const FormatInfo& info : queue.downloads) {
        QueuedFile file;
        file.info = info;
        const int number = info.isPage != 0 ? info.id - kPageEntryOffset : info.id;
        file.number = number > 0 ? std::to_string(number) : "";
        file.name = info.newDescription;
        files_.push_back(file);
    }
    installed_.clear();
    const int ctx = desk_.ctx();
    const auto formatIds = [](int c, std::uint16_t* ids, std::uint16_t* n) {
        return PCUGetFormatIDs(c, ids, nullptr, n);
    };
    for (const std::uint16_t id : DirectoryNumbers(ctx, PCUGetFormatCount, formatIds)) {
        FormatInfo info{};
        // Entries the host queued earlier are not in the printer.
        if (PCUGetFormatInfo(ctx, id, &info) == PCU_OK && info.status != PCU_STATUS_HOST_ONLY &&
            info.pending != PCU_PENDING_DOWNLOAD)
            installed_.push_back(
                {id, false, info.description, Contains(queue.formatDeletions, id)});
    }
    for (const std::uint16_t id : DirectoryNumbers(ctx, PCUGetPageCount, PCUGetPageIDs))
        installed_.push_back({id, true, "Pagefile", Contains(queue.pageDeletions, id)});

    const std::string sendGroup = "Command Files to Send";
    Field& toSend = AddChoice("toSend", Control::Table, "", {}, sendGroup);
    toSend.columns = {"Description", "ID", "Type", "State", "File"};
    AddChoice("number", Control::Edit, "Number:", {}, sendGroup).maxLength = 2;
    AddChoice("description", Control::Edit, "Description:", {}, sendGroup).maxLength =
        PCU_DESCRIPTION_SIZE - 1;
    AddChoice("deleteToSend", Control::Button, "&Delete", {}, sendGroup);
    AddChoice("restoreToSend", Control::Button, "&Restore", {}, sendGroup);
    const std::string installedGroup = "Command Files Installed in Printer";
    Field& installed = AddChoice("installed", Control::Table, "", {}, installedGroup);
    installed.columns = {"Description", "ID", "Type", "State"};
    AddChoice("deleteInstalled", Control::Button, "D&elete", {}, installedGroup);
    AddChoice("restoreInstalled", Control::Button, "Res&tore", {}, installedGroup);
    AddChoice("select", Control::Button, "&Select Command File", {});
    showLists();
}

int CommandFilePage::selectedRow(const char* table, std::size_t count) const {
    const int row = field(table).selected;
    return row >= 0 && static_cast<std::size_t>(row) < count ? row : -1;
}

CommandFilePage::QueuedFile* CommandFilePage::selectedFile() {
    const int row = selectedRow("toSend", files_.size());
    return row < 0 ? nullptr : &files_[static_cast<std::size_t>(row)];
}

// Shows both lists and what can be done to their chosen rows.
void CommandFilePage::showLists() {
    Field& toSend = at("toSend");
    toSend.rows.clear();
    for (const QueuedFile& f : files_) {
        const int number = TypedNumber(f.number, f.info.isPage != 0 ? kMaxPage : kMaxFormat);
        toSend.rows.push_back({f.name,
                               number > 0 ? ObjectNumberText(static_cast<unsigned>(number)) : "?",
                               f.info.isPage != 0 ? "Page" : "Format", f.deleted ? "Deleted" : "",
                               std::filesystem::path(f.info.path).filename().string()});
    }
    Field& installed = at("installed");
    installed.rows.clear();
    for (const Installed& object : installed_) {
        installed.rows.push_back({object.description, ObjectNumberText(object.id),
                                  object.page ? "Page" : "Format",
                                  object.deleted ? "Deleted" : ""});
    }
    const QueuedFile* file = selectedFile();
    const bool editable = file != nullptr && !file->deleted;
    at("number").enabled = at("description").enabled = editable;
    at("number").text = file != nullptr ? file->number : "";
    at("description").text = file != nullptr ? file->name : "";
    at("deleteToSend").enabled = editable;
    at("restoreToSend").enabled = file != nullptr && file->deleted;
    const int row = selectedRow("installed", installed_.size());
    const bool deleted = row >= 0 && installed_[static_cast<std::size_t>(row)].deleted;
    at("deleteInstalled").enabled = row >= 0 && !deleted;
    at("restoreInstalled").enabled = row >= 0 && deleted;
}

void CommandFilePage::OnEdit(const std::string& id) {
    if (QueuedFile* file = selectedFile(); file != nullptr) {
        if (id == "number")
            file->number = field("number").text;
        else if (id == "description")
            file->name = field("description").text;
    }
    showLists();
}

void CommandFilePage::OnPress(const std::string& id) {
    if (id == "select") {
        selectFile();
    } else if (id == "deleteToSend" || id == "restoreToSend") {
        if (QueuedFile* file = selectedFile(); file != nullptr)
            file->deleted = id == "deleteToSend";
    } else if (id == "deleteInstalled" || id == "restoreInstalled") {
        const int row = selectedRow("installed", installed_.size());
        if (row >= 0)
            installed_[static_cast<std::size_t>(row)].deleted = id == "deleteInstalled";
    }
    showLists();
}

void CommandFilePage::selectFile() {
    const FileRequest request{kCommandFileFilter, "fmt", true, false, "Select Command File", {}};
    const FileChoice choice = desk_.prompt.ChooseOpenFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed)
        desk_.prompt.Tell("Error", "Unable to access Open File dialog box", PromptIcon::Stop);
    if (choice.outcome != FileChoice::Outcome::Chosen)
        return;
    QueuedFile file;
    std::int32_t isPage = 0;
    std::int32_t number = 0;
    char name[PCU_DESCRIPTION_SIZE] = "";
    if (choice.path.size() >= sizeof file.info.path ||
        PCUGetFormatFileInfo(choice.path.c_str(), &isPage, &number, name) != PCU_OK) {
        desk_.prompt.Tell("Warning", "Tarvo cannot read the command file " + choice.path + ".",
                          PromptIcon::Stop);
        return;
    }
    if (isPage == 0 && number > 0)  // a format the printer holds keeps its record
        PCUGetFormatInfo(desk_.ctx(), static_cast<std::uint16_t>(number), &file.info);
    std::strncpy(file.info.path, choice.path.c_str(), sizeof file.info.path - 1);
    file.info.isPage = isPage;
    file.info.pending = PCU_PENDING_DOWNLOAD;
    file.number = number > 0 ? std::to_string(number) : "";
    file.name =
        name[0] != '\0'
            ? std::string(name)
            : std::filesystem::path(choice.path).stem().string().substr(0, kFileNameAsDescription);
    files_.push_back(file);
    at("toSend").selected = static_cast<int>(files_.size()) - 1;
    if (number == 0) {
        desk_.prompt.Tell("Notice",
                          std::filesystem::path(choice.path).filename().string() +
                              " names no format number. Type one from 1 to 99 under Number.",
                          PromptIcon::Information);
    }
}

std::string CommandFilePage::numberProblem(const QueuedFile& file) const {
    const bool page = file.info.isPage != 0;
    const int highest = page ? kMaxPage : kMaxFormat;
    if (TypedNumber(file.number, highest) > 0)
        return {};
    return std::string(page ? "page" : "format") + " number from 1 to " + std::to_string(highest);
}

std::string CommandFilePage::Validate() const {
    std::vector<std::pair<bool, int>> taken;
    for (const QueuedFile& file : files_) {
        if (file.deleted)
            continue;
        const std::string shown = std::filesystem::path(file.info.path).filename().string();
        if (const std::string problem = numberProblem(file); !problem.empty())
            return shown + ": type a " + problem + " under Number.";
        if (!IsSendableDescription(file.name)) {
            return shown + ": the description \"" + file.name +
                   "\" cannot be sent to the printer. It takes at most 32 characters, none of "
                   "them ; , < or a control character.";
        }
        const bool page = file.info.isPage != 0;
        const int number = std::stoi(file.number);
        if (std::find(taken.begin(), taken.end(), std::pair{page, number}) != taken.end()) {
            return shown + ": another file to send is stored as " + (page ? "page " : "format ") +
                   std::to_string(number) + " already.";
        }
        taken.emplace_back(page, number);
    }
    return {};
}

void CommandFilePage::Save() {
    CommandFileQueue queue;
    for (const QueuedFile& file : files_) {
        if (file.deleted)
            continue;
        FormatInfo info = file.info;
        const int number = std::stoi(file.number);
        info.id = static_cast<std::uint16_t>(info.isPage != 0 ? number + kPageEntryOffset : number);
        std::memset(info.newDescription, 0, sizeof info.newDescription);
        file.name.copy(info.newDescription, sizeof info.newDescription - 1);
        queue.downloads.push_back(info);
    }
    for (const Installed& object : installed_) {
        if (!object.deleted)
            continue;
        auto& deletions = object.page ? queue.pageDeletions : queue.formatDeletions;
        // A format that a file to send replaces is erased by that file's own header.
        const bool replaced =
            !object.page && std::any_of(queue.downloads.begin(), queue.downloads.end(),
                                        [&](const FormatInfo& f) { return f.id == object.id; });
        if (!replaced)
            deletions.push_back(object.id);
    }
    if (!(queue == desk_.config.commandFiles)) {
        desk_.config.commandFiles = std::move(queue);
        desk_.session.flags.modified = true;
    }
}

CCmdFileDlg::CCmdFileDlg(Desk& desk) : SheetModel("Command File") {
    AddPage<CommandFilePage>(desk);
}

}  // namespace tarvo::app::lanmere
