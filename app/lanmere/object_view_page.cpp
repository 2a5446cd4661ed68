#include "lanmere/object_view_page.h"

#include <algorithm>

#include "lanmere/object_pages.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

template <typename Record>
void ObjectViewPage<Record>::Load() {
    Reset();
    queued_ = QueuedRecords<Record>(Queue());
    installed_ = Installed();
    removed_.clear();
    marks_.clear();
    for (const Record& r : installed_)
        marks_.push_back(r.status);
    Add({.id = "queued",
         .control = Control::Table,
         .group = layout_.queuedGroup,
         .columns = layout_.queuedColumns});
    Add({.id = "delete",
         .control = Control::Button,
         .label = "&Delete",
         .group = layout_.queuedGroup});
    Add({.id = "installed",
         .control = Control::Table,
         .group = layout_.installedGroup,
         .columns = layout_.installedColumns});
    Add({.id = "deleteInstalled",
         .control = Control::Button,
         .label = "D&elete",
         .group = layout_.installedGroup});
    Add({.id = "restore",
         .control = Control::Button,
         .label = "Re&store",
         .group = layout_.installedGroup});
    Fill();
}

template <typename Record>
bool ObjectViewPage<Record>::Removed(const Record& r) const {
    return std::find(removed_.begin(), removed_.end(), r.id) != removed_.end();
}

template <typename Record>
void ObjectViewPage<Record>::Fill() {
    Field& queued = at("queued");
    queued.rows.clear();
    for (const Record& r : queued_) {
        if (Removed(r))
            continue;
        std::vector<std::string> row = {r.newDescription, ObjectNumberText(r.id)};
        for (std::string& detail : QueuedDetails(r))
            row.push_back(std::move(detail));
        queued.rows.push_back(std::move(row));
    }
    queued.selected = std::min(queued.selected, static_cast<int>(queued.rows.size()) - 1);
    Field& installed = at("installed");
    installed.rows.clear();
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        const Record& r = installed_[i];
        std::vector<std::string> row = {r.description, ObjectNumberText(r.id),
                                        std::to_string(r.size) + " bytes"};
        for (std::string& detail : InstalledDetails(r))
            row.push_back(std::move(detail));
        row.push_back(marks_[i] == PCU_STATUS_DELETE ? "delete" : "");
        installed.rows.push_back(std::move(row));
    }
}

template <typename Record>
void ObjectViewPage<Record>::OnPress(const std::string& id) {
    if (id == "delete") {
        const int row = field("queued").selected;
        if (row < 0)
            return;
        // The shown rows skip what was taken back already.
        int shown = -1;
        for (const Record& r : queued_) {
            if (Removed(r))
                continue;
            if (++shown == row) {
                removed_.push_back(r.id);
                break;
            }
        }
    } else {
        const int row = field("installed").selected;
        if (row < 0)
            return;
        const auto i = static_cast<std::size_t>(row);
        if (id == "deleteInstalled" && MayDelete(installed_[i]))
            marks_[i] = PCU_STATUS_DELETE;
        else if (id == "restore" && marks_[i] == PCU_STATUS_DELETE)
            marks_[i] = installed_[i].status == PCU_STATUS_DELETE ? PCU_STATUS_STORED
                                                                  : installed_[i].status;
    }
    Fill();
}

template <typename Record>
void ObjectViewPage<Record>::Save() {
    if (!removed_.empty()) {
        RemoveQueued<Record>(Queue(), removed_);
        desk_.session.flags.modified = true;
    }
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        if (marks_[i] == installed_[i].status)
            continue;
        Record r = installed_[i];
        r.status = static_cast<std::int16_t>(marks_[i]);
        if (PutInstalled(r) == PCU_OK)
            desk_.session.flags.modified = true;
    }
}

template class ObjectViewPage<FontInfo>;
template class ObjectViewPage<GraphicInfo>;

}  // namespace tarvo::app::lanmere
