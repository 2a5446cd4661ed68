// The View page both object sheets (fonts, graphics) share: the objects queued for sending and
// the objects the printer holds. Its buttons change nothing before OK: taking back a queued
// object and marking an installed one for deletion are kept on the page until it is saved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lanmere/lan_page.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

// What tells one kind's View page from the other's: its groups and table columns.
struct ObjectViewLayout {
    std::string queuedGroup;  // "Fonts to send:"
    std::vector<std::string> queuedColumns;
    std::string installedGroup;  // "Fonts installed in printer:"
    std::vector<std::string> installedColumns;
};

// Instantiated for FontInfo and GraphicInfo.
template <typename Record>
class ObjectViewPage : public LanPage {
  public:
    void Load() override;
    void Save() override;

  protected:
    ObjectViewPage(Desk& desk, ObjectViewLayout layout)
        : LanPage(desk, "View"), layout_(std::move(layout)) {}

    void OnPress(const std::string& id) override;

    // The session's list of queued objects of this kind.
    virtual ObjectList& Queue() = 0;
    // The objects of this kind the printer holds.
    virtual std::vector<Record> Installed() = 0;
    // The queued object's columns after its description and number.
    virtual std::vector<std::string> QueuedDetails(const Record& r) const = 0;
    // The installed object's columns between its size and its status at the next send.
    virtual std::vector<std::string> InstalledDetails(const Record&) const { return {}; }
    // Whether the operator may mark the installed object for deletion.
    virtual bool MayDelete(const Record&) const { return true; }
    // Stores the installed object's new status in the kernel directory; the kernel's status.
    virtual int PutInstalled(const Record& r) = 0;

  private:
    void Fill();
    bool Removed(const Record& r) const;

    ObjectViewLayout layout_;
    std::vector<Record> queued_;
    std::vector<Record> installed_;
    std::vector<std::uint16_t> removed_;  // queued records taken back
    std::vector<int> marks_;              // per installed object: its status after OK
};

// The objects of one kind the printer holds, as the kernel's directory lists them: `count`,
// `ids` and `info` are the kind's PCUGet*Count, PCUGet*IDs and PCUGet*Info.
template <typename Record, typename Count, typename Ids, typename Info>
std::vector<Record> InstalledRecords(int ctx, Count count, Ids ids, Info info) {
    std::vector<Record> records;
    for (const std::uint16_t id : DirectoryNumbers(ctx, count, ids)) {
        Record r{};
        if (info(ctx, id, &r) == PCU_OK && r.status != PCU_STATUS_HOST_ONLY)
            records.push_back(r);
    }
    return records;
}

}  // namespace tarvo::app::lanmere
