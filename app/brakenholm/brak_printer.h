// CBrakPrinter: a Brakenholm printer, driven in Tallyscript lines over the kernel's raw port.
//
// Every transaction opens the port, writes its line or lines, reads what it needs and closes
// the port again; nothing stays open between transactions. Replies are read into at most 4095
// bytes; a longer answer is drained from the line and reported as truncated, so its tail never
// becomes the next question's answer.
//
// The object belongs to the session (AppSession::printer) and keeps references to it and to the
// prompt, both of which outlive it.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_setup.h"
#include "brakenholm/brak_transfer.h"
#include "brakenholm/script_port.h"
#include "shell/app_session.h"
#include "shell/printer_base.h"
#include "shell/prompt.h"

namespace fwxfer {
class GFMonitor;
enum class GFResult : int;
}  // namespace fwxfer

namespace tarvo::app {

enum class TxStatus {
    Ok,
    OpenFailed,     // the port did not open; `error` holds the OS error
    WriteFailed,    // a write failed; `error` holds the OS error
    ReadFailed,     // a read failed; `error` holds the OS error
    NotApplicable,  // the printer has no such setting; nothing was sent
    Refused,        // the value or argument cannot be sent; nothing was sent
};

struct TxResult {
    TxStatus status = TxStatus::Ok;
    int error = 0;
    bool ok() const { return status == TxStatus::Ok; }
};

struct QueryReply : TxResult {
    std::string text;        // what this transaction read, nothing older
    bool truncated = false;  // the printer said more than the reply buffer holds
};

// The identification texts and system variables read from the printer.
struct BrakIdentity {
    std::string printerDate;  // "YYYYMMDD"
    std::string version1;     // PRINT VERSION$(1): the model's name
    std::string version0;     // PRINT VERSION$(0): firmware, blanks collapsed
    std::string version2;     // PRINT VERSION$(2): program number
    std::string heapFree;
    std::string heapAllocated;
    std::string storageFree;
    std::string storageUsed;
    std::string sysvar22;
    std::string sysvar21;       // print head dots per millimetre
    std::int16_t sysvar23 = 0;  // non-zero when a ribbon is fitted
    std::int16_t sysvar20 = 0;
};

struct MemoryFigures {
    std::string free;
    std::string used;  // storage: used; heap: allocated
};

// Where a listing came from. Only a listing read from the attached printer rewrites the host's
// line settings: a file describes a printer that may not be the attached one, and the search
// writes the settings it found itself.
enum class ListingSource { Printer, File, Search };

struct ListingRead {
    TxStatus status = TxStatus::Ok;
    bool received = false;   // the printer answered with something
    bool truncated = false;  // and with more than the reply buffer holds
    bool parsed = false;     // the answer parsed and is now the record
};

enum class ParityCheck {
    NotNeeded,  // the printer's parity is not NONE
    Confirmed,  // it is NONE and the printer still answers with a readable listing
    NoAnswer,   // nothing came back: nothing is judged and nothing changed
    Rewritten,  // the listing came back unreadable: printer and host were set to ODD
    Failed,     // the port would not open
};

enum class PrinterUser { Admin, User };

struct BrakPrinterOptions {
    // The computer's local time, for setting a printer clock that does not run.
    std::function<std::tm()> localTime;
    // Reboot: how many times the printer is asked whether it is back, 5 s apart.
    int rebootPolls = 24;
    // The port's DSR line: true or false, or nullopt where the device cannot tell (a
    // pseudo-terminal). Null reads the session's serial device.
    std::function<std::optional<bool>()> readDsr;
};

// How a reboot is waited for.
struct RebootControl {
    // False when the printer will run the other language's firmware, which never answers
    // "ok": the reboot then returns once the command is out.
    bool waitForAnswer = true;
    // Asked between short slices of every wait; true ends the wait (the result is Cancelled).
    // May be empty: the waits then run whole.
    std::function<bool()> cancelled;
};

class CBrakPrinter final : public CPrinterBase {
  public:
    using Options = BrakPrinterOptions;

    CBrakPrinter(AppSession& session, Prompt& prompt, int model, std::unique_ptr<ScriptPort> port,
                 Options options = {});

    // CPrinterBase
    bool IsScriptFamily() const override { return true; }
    OpResult ReadPrinterIdentity() override;
    OpResult SendAllSetup() override;
    OpResult RestoreSetupDefaults() override;
    OpResult SaveSetupFile() override;
    OpResult LoadSetupFile() override;
    OpResult Reboot() override;
    // Sends reboot unless DSR is known to be off ("not ready", nothing sent); then, unless the
    // control says not to wait, waits at most 30 s for DSR (a device that cannot tell counts
    // as ready), 10 s more, and asks "SYSVAR(18)=2" up to Options::rebootPolls times, 5 s
    // apart, until "ok" comes. NoAnswer "Printer did not answer after reboot" when it never
    // does; Cancelled when the control's cancel ended a wait.
    OpResult Reboot(const RebootControl& control);
    OpResult SearchPrinter(SearchObserver& observer) override;

    // Setup generation 0..3 of the model.
    int SetupGeneration() const { return generation_; }
    // The setup record as the program holds it.
    BrakSetup GetSetup() const { return setup_; }
    void SetSetup(const BrakSetup& setup) { setup_ = setup; }
    int Model() const { return model_; }
    // The operator's prompt, for the notices of operations built over the printer.
    Prompt& OperatorPrompt() const { return prompt_; }
    // "6.13" or "7.12", by the setup generation.
    std::string_view TreeVersion() const;
    const BrakIdentity& Identity() const { return identity_; }
    // Table values of the last parsed listing that matched nothing ("KEY: text").
    const std::vector<std::string>& Unrecognised() const { return unrecognised_; }

    // Transactions.
    // "SYSVAR(18)=0" CR, 200 ms, then `line` ended by CR (one CR only).
    TxResult SendSetupLine(std::string_view line);
    // `line` ended by exactly one CR LF, after "SYSVAR(18)=0" CR and 200 ms when `prefix`.
    TxResult SendLine(std::string_view line, bool prefix);
    // As SendSetupLine, then up to three reads, 2500 ms apart while nothing comes.
    QueryReply QueryLine(std::string_view line);
    // As QueryLine with a further wait of `waitMs` before the first read.
    QueryReply QueryLineAfter(std::string_view line, std::uint16_t waitMs);
    // As QueryLineAfter, but an answer longer than the reply buffer is read on until
    // `complete` says the text so far is whole, or until `maxBytes` came (then the rest is
    // drained and the reply is marked truncated). For listings that may run to many kilobytes.
    QueryReply QueryUntil(std::string_view line, std::uint16_t waitMs,
                          const std::function<bool(std::string_view)>& complete,
                          std::size_t maxBytes);

    // Sends one setting from the record by its own SETUP command, and nothing more: a serial
    // line setting sent this way leaves the host behind (use SendSettings for those).
    TxResult SendSetting(BrakSetting setting);
    // Sends `settings` from the record: every value is checked first, the serial line settings
    // go last, and when any of them went out the host follows and the printer is asked whether
    // it still answers. What `setup set` uses.
    OpResult SendSettings(const std::vector<BrakSetting>& settings);

    // The setup file.
    std::vector<std::string> BuildSetupLines() const;
    OpResult SaveSetupFileTo(const std::string& path);
    OpResult LoadSetupFileFrom(const std::string& path);

    // The setup listing.
    ListingRead ReadSetupListing();
    // Parses `listing` into the record. The record changes only when the listing holds the
    // serial settings; a listing from the printer also brings the host's line settings in line.
    bool ParseSetupListing(std::string_view listing, ListingSource source);

    // Memory.
    MemoryFigures ReadStorageMemory();
    MemoryFigures ReadHeapMemory();
    bool HasRoomFor(std::string_view device, long long neededBytes);
    bool FileExists(std::string_view device, std::string_view path);

    // Transfers (brak_transfer.cpp, brak_firmware.cpp, brak_image.cpp).
    // Sends the file at `path` as `remoteName` to "c:" ("ram:" on generation 1) over Zmodem
    // (an image with IMAGE LOAD): the name and the file's readability and size are checked
    // first, then the room on the printer; the line settings are restored afterwards.
    OpResult DownloadFile(const std::string& path, TransferKind kind, const std::string& remoteName,
                          fwxfer::GFMonitor& monitor);
    // Checks the firmware file against the printer's firmware, asks, formats "c:" and sends
    // the file once or twice as the change needs. The caller offers the reboot; *kindChanges
    // (may be null) tells whether the printer will then speak the other language, so that the
    // reboot need not wait for an answer that cannot come.
    OpResult FirmwareDownload(const std::string& path, fwxfer::GFMonitor& monitor,
                              bool* kindChanges = nullptr);
    // Asks "Sysvar(18)=2" up to five times, 500 ms apart. Returns true once "ok" came.
    bool WaitForPrompt();
    // IMAGE LOAD "name",size,"S" and exactly the file's bytes; a printer on 7-bit characters
    // is moved to 8 for the image and put back afterwards.
    OpResult LoadImage(const std::string& path, const std::string& name);

    // Asks "PRINT SYSVAR(23)" (non-zero when a ribbon is fitted) and keeps the answer in the
    // identity. Nullopt when the printer did not answer with a number; the identity keeps
    // what it held, since silence says nothing about the ribbon.
    std::optional<std::int16_t> ReadRibbonSensor();

    // Reads the printer's date into the identity ("PRINT DATE$"); a clock that does not run
    // is set from the computer's first. Silence leaves the identity as it was.
    void ReadClock();
    // Version 0 as read again after the printer changed its command mode.
    void NoteVersion0(std::string text) { identity_.version0 = std::move(text); }

    // Users and recovery.
    bool WhoAmI();
    TxResult SwitchUser(PrinterUser user, const SecretText& password);
    OpResult RestoreSavedSetup();
    ParityCheck CheckParity();

  private:
    TxResult Send(std::string_view terminatedLine, bool prefix);
    QueryReply Query(std::string_view line, int extraWaitMs);
    void ApplyAssumedValues();
    void ReadVersionsAndVariables(const std::string& version1);
    OpResult SendThenSerial(const std::vector<BrakSetting>& body,
                            const std::vector<BrakSetting>& serial);
    OpResult BringHostInLine(const std::vector<BrakSetting>& sent);
    OpResult FollowPrinter();
    bool PrinterAnswers();
    bool TrySearchTrial(std::string_view lineSettings);
    OpResult StoreFoundSettings(std::string_view foundBaud);
    fwxfer::GFResult SendOverZmodem(const std::string& path, const std::string& remoteName,
                                    fwxfer::GFMonitor& monitor);
    // Puts `settings` back to their values in `saved` (serial settings last, then the host,
    // then the check that the printer answers). Returns `result`, or, when the restore failed,
    // a result that also states both sides' line settings.
    OpResult RestoreLineAfterTransfer(const BrakSetup& saved, OpResult result,
                                      const std::vector<BrakSetting>& settings);
    OpResult SendImage(const std::string& name, const std::string& content);
    // Reads the port's DSR: the options' reader, or the session's serial device held open.
    std::function<std::optional<bool>()> DsrReader();
    bool WaitUnlessCancelled(int ms, const RebootControl& control);
    bool RebootAnswered();

    AppSession& session_;
    Prompt& prompt_;
    int model_;
    int generation_;
    std::unique_ptr<ScriptPort> port_;
    Options options_;
    BrakSetup setup_;
    BrakIdentity identity_;
    std::vector<std::string> unrecognised_;
};

// The session's printer as a CBrakPrinter, or null when it is the neutral one.
CBrakPrinter* AsBrakPrinter(CPrinterBase* printer);

// The printer object for `model` on the session's kernel context: a CBrakPrinter over the raw
// port for the Brakenholm models (26 to 40), the neutral object otherwise. Nothing is read from
// the printer; the caller runs ReadPrinterIdentity when it wants the printer's state.
std::unique_ptr<CPrinterBase> MakePrinter(AppSession& session, Prompt& prompt, int model);

}  // namespace tarvo::app
