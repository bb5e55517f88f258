#pragma once
// The main window's logic, free of Qt: its state, actions, timers and status
// bar; the requests it issues and the dispatch of the answers; the search,
// the device tree, periodic reading and the exchange log. The commands that
// change a detector are objects of their own (src/commands), which reach the
// bus and the window through the two interfaces the window implements; their
// handlers here forward to them. The Qt view renders the public models and
// forwards the user's gestures to the handlers below; tests call the same
// handlers.

#include "app/BusOverview.h"
#include "app/ExchangeLog.h"
#include "app/LineMemory.h"
#include "app/LinkWatch.h"
#include "app/SearchOptions.h"
#include "app/SearchPlan.h"
#include "app/ServiceJournal.h"
#include "app/TrendRecorder.h"
#include "app/WindowHost.h"
#include "commands/CommandHost.h"
#include "commands/CurrentOutput.h"
#include "commands/SettingsWrite.h"
#include "device/Decoder.h"
#include "device/DevicePanel.h"
#include "device/DeviceTable.h"
#include "device/Registers.h"
#include "device/WriteOp.h"
#include "forms/Controls.h"
#include "forms/Dialogs.h"
#include "forms/TreeView.h"
#include "link/TVSModbusRTU.h"
#include "ports/PortEvent.h"
#include "ports/TPortBox.h"
#include "ports/TPortHolder.h"
#include "runtime/EventLoop.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zor {

class TFormDlg;
class TFormLora;
class TAboutBox;
class NetworkPortDialog;

enum class MouseButton { Left, Right, Middle };

class TFormMain final : private CommandBus, private CommandWindow {
public:
    struct Platform {
        EventLoop& loop;
        forms::Dialogs& dialogs;
        WindowHost& windows;
        // The backend of the Modbus link's serial port.
        std::unique_ptr<SerialPort> linkPort;
        // Where the port catalogue comes from.
        std::unique_ptr<ports::PortProvider> ports;
        // The user's decimal separator.
        char separator = ',';
        // Where the running programs are seen (brltty, ModemManager, the
        // holder of a busy port).
        std::string proc = "/proc";
        // The service journal and the clock its records are stamped by;
        // without them no journal is kept.
        journal::JournalStore* journal = nullptr;
        const journal::WallClock* clock = nullptr;
    };

    explicit TFormMain(Platform platform);
    ~TFormMain();
    TFormMain(const TFormMain&) = delete;
    TFormMain& operator=(const TFormMain&) = delete;

    // ---- Window life ---------------------------------------------------
    void FormCreate();
    void FormClose();
    void ComBoxChange();
    void bCfgClick(ports::LineSettingsDialog& dialog);
    // "Сетевой порт...": lists the bus the technician names by host, port
    // and mode and chooses it; the address is offered again the next time.
    void NetPortClick(NetworkPortDialog& dialog);
    // Lists a port the platform does not (a pseudo-terminal, a network bus)
    // and chooses it. A network bus with no description is described by its
    // mode.
    void UsePort(const std::string& name, const std::string& description);
    // Status panel 0: "name: rate / bits-parity-stop".
    void PortCaption(const std::string& name, uint32_t baud, int dataBits, int parity, int stopBits);
    void ReopenLink(uint32_t baud, TParity parity, TStopBits stopBits) override;
    // The search over the plan's range at the line settings it tries now.
    void StartSearchLeg();
    void SearchStatus();
    // A search across line settings has ended: the bus settings are back,
    // and the technician is offered the settings most detectors answered at.
    void EndSweep(const std::vector<FoundAt>& found, bool whole);
    // A detector a search across line settings heard: recorded and logged;
    // true when it is to be added (its address is free).
    bool SweepFound(uint8_t address, int32_t serial);

    // ---- Requests ------------------------------------------------------
    void ReadHolding(uint8_t address, uint8_t start, uint8_t count);
    void ReadInput(uint8_t address, uint8_t offset, uint8_t count);
    bool WriteRegister(uint8_t address, uint16_t reg, const std::optional<std::string>& status, uint16_t timeoutMs,
        uint16_t value) override;

    // ---- Replies and time-outs -------------------------------------------
    void VSModbusModbusPacketEvent(TVSModbusRTU& sender, const uint8_t* data, uint16_t size);
    void TimerTimeOutTimer();
    void ModbusTimeout();

    // ---- Search ----------------------------------------------------------
    void ActFindExecute();
    void TimerFindTimer();
    void AddFoundDevice(uint8_t address, int32_t serial);
    void ActStopExecute();
    // The addresses and speed of the next searches; the standard search
    // until the technician picks another.
    const SearchPlan& FindPlan() const { return FindPlan_; }
    void SetFindPlan(const SearchPlan& plan) { FindPlan_ = plan; }
    // The bus settings were switched to those a search found detectors at
    // (the view keeps them for the next run).
    std::function<void()> OnLineChosen;
    // "Параметры поиска...": edits the plan; not while a search runs.
    void FindOptionsClick(SearchOptionsDialog& dialog);
    // What a search across line settings found, while it runs.
    const std::vector<FoundAt>* SweepFound() const { return Sweep_ ? &Sweep_->found : nullptr; }

    // ---- Tree --------------------------------------------------------------
    // node: the node whose icon or label lies under the press, null when the
    // press was elsewhere (indentation, expand button, empty area).
    void DevTreeMouseDown(MouseButton button, forms::TreeNode* node);
    void DevTreeDblClick();
    void RemoveDevice(uint8_t address, forms::TreeNode* node) override;

    // ---- Periodic reading ----------------------------------------------------
    void ActRenewExecute();
    void TimerReadTimer();
    void ActReadStopExecute();
    void TimerReadOnesTimer();

    // ---- Bus overview (Overview.cpp) ----------------------------------------
    // "Обзор": reads the detectors of the tree in turn, giving way to
    // everything else on the line; "Стоп" ends it.
    void BtOverviewClick();
    void ActOverviewExecute();
    void ActOverviewStopExecute();
    void TimerOverviewTimer();
    // A double click on the row of the detector at address: selected and
    // read, as by a double click in the tree.
    void OverviewRowDblClick(uint8_t address);
    Timer& TimerOverview() { return *TimerOverview_; }
    // How often the overview looks whether the line is free.
    static constexpr uint32_t kOverviewTickMs = 100;
    // Another request's answer not in this long is no longer waited for.
    static constexpr uint32_t kOtherWaitMs = 1000;

    // ---- Log and help ----------------------------------------------------------
    void ActSaveToFileExecute();
    void ActHelpExecute();

    // ---- Button bar: the action each button carries now -----------------------
    void BtFindClick();
    void BtReadClick();

    // ---- Units ---------------------------------------------------------------------------
    void CBoxUnitChange();
    void CBoxGasChange() { }

    // ---- Commands that change a detector (Commands.cpp: each forwards) ------------------
    // Settings write sequence.
    void ActWriteAddrExecute();
    void ActWriteOptExecute();
    WriteAdvance AdvanceWrite(uint8_t address, uint8_t function, uint16_t value, uint16_t reg);

    // Calibration.
    void ActZeroExecute();
    void ActCalbExecute();
    void ActInitExecute();
    bool ApplySpan(float x);

    // Current output.
    void RBt01mAClick();
    void RBt04mAClick();
    void RBt20mAClick();
    void ActWriteCurrExecute();
    void ChBoxCurrFixClick();

    // LoRa.
    void N11Click();
    bool WriteLoraBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count);
    bool ContinueLoraWrite(uint8_t address, uint8_t start, uint8_t count);

    // ---- The serial link: loss, regain, open errors, stale readings -----------------------------
    // The link lost its port: it is closed; reading, search and a write in
    // flight end at once; the technician is told which port.
    void PortLost();
    // A serial port came or went (the hot-plug monitor): the port list is
    // rebuilt, the removal of the port the link holds is a loss, the return
    // of a lost port reopens it.
    void PortChanged(const ports::PortEvent& event);
    // For a command that needs the port: reopens a closed link, or tells why
    // it cannot (message box and log) and returns false.
    bool LinkReady() override;
    // The port and line settings kept across runs, and taking them back at
    // start: an absent port is not chosen.
    LineMemory RememberedLine() const;
    void RecallLine(const LineMemory& line);
    // How often a lost port is tried again while it is away; a port that
    // fails again right after reopening is tried at twice the interval each
    // time, up to the longest.
    static constexpr uint32_t kRegainCheckMs = 1000;
    static constexpr uint32_t kRegainLongestMs = 32000;
    // A loss this soon after reopening, with no answer between, is the same
    // fault again.
    static constexpr uint32_t kRelapseMs = 5000;

    // ---- Models the view renders ------------------------------------------------------------
    forms::Action ActFind { "Найти", "Начать поиск приборов" };
    forms::Action ActStop { "Стоп", "Остановить поиск" };
    forms::Action ActRenew { "Читать", "Начать автоматическое чтение данных из прибора" };
    forms::Action ActReadStop { "Стоп", "Остановить автоматическое чтение данных" };
    forms::Action ActSaveToFile { "Сохр.", "Сохранить лог в файл" };
    forms::Action ActHelp { "Помощь", "" };
    forms::ActionButton BtFind { &ActFind };
    forms::ActionButton BtRead { &ActRenew };
    forms::Label FindPanel { "                      MODBUS RTU" };
    forms::Label NodeMenuItem { "Настройки LoRa" }; // N11 of MenuLora
    forms::Label bCfgHint { "Изменить настройки" };
    forms::TreeView DevTree;
    forms::StatusBar StatBar { { 300, 90, 90, 50 } };
    DevicePanel Panel;
    ExchangeLog Log;
    // The concentration of each detector read automatically, over time.
    TrendRecorder Trend;
    forms::Action ActOverview { "Обзор", "Читать все приборы шины по очереди" };
    forms::Action ActOverviewStop { "Стоп", "Остановить обзор шины" };
    forms::ActionButton BtOverview { &ActOverview };
    BusOverview Overview;

    ports::TPortHolder ComPort;
    ports::TPortBox ComBox;
    TVSModbusRTU VSModbus;

    // The service journal: a record of each operation that changed a detector.
    ServiceJournal& Journal() { return journal_; }

    TFormDlg& FormDlg() { return *formDlg_; }
    TFormLora& FormLora() { return *formLora_; }
    TAboutBox& AboutBox() { return *aboutBox_; }

    // ---- State, read by the view and the tests ---------------------------------------------------
    const DeviceTable& DevList() const { return DevList_; }
    forms::TreeNode* SelNode() const override { return SelNode_; }
    forms::TreeNode* ClickNode() const { return ClickNode_; }
    bool Finding() const override { return Finding_; }
    uint8_t FindAddr() const { return FindAddr_; }
    bool ReadBusy() const override { return ReadBusy_; }
    bool Answered() const { return Answered_; }
    TWriteOp WriteOp() const { return WriteOp_; }
    bool Updating() const override { return Updating_; }
    bool LineChanged() const { return settingsWrite_.LineChanged(); }
    int32_t TxCount() const { return TxCount_; }
    int32_t RxCount() const { return RxCount_; }
    uint16_t SpanValue() const { return settingsWrite_.SpanValue(); }
    Timer& TimerFind() { return *TimerFind_; }
    Timer& TimerRead() { return *TimerRead_; }
    Timer& TimerReadOnes() { return *TimerReadOnes_; }
    Timer& TimerTimeOut() { return *TimerTimeOut_; }
    char Separator() const { return separator_; }

    // The longest a wait for an outstanding read lasts: the write time-out.
    static constexpr uint32_t kReadWaitMs = 1500;
    // The probe time-out, plus 100 ms, is the search step.
    static constexpr uint32_t kProbeTimeoutMs = 1000;

private:
    // The bus address of the selected device, 0 without one.
    uint8_t SelAddr() const override;
    // Common request steps: clear Answered, set the tag, purge the queues
    // (unless told not to), send without waiting, count and show Tx.
    void Issue(uint8_t address, uint8_t function, const uint8_t* data, uint16_t size, int32_t tag, bool purge = true);
    void ShowTx();
    // A holding block, the gas input register, a single-register write.
    void ReadBlock(uint8_t address, RegBlock block);
    void ReadGas(uint8_t address);
    void IssueWrite(uint8_t address, uint16_t reg, uint16_t value);
    void ArmTimeOut(uint16_t ms);
    // A read sent while a write operation runs would purge the echo its
    // chain waits for, or come back under the read's tag, and the operation
    // would never end: a read the user asks for then is refused with a word.
    bool RefuseWhileWriting(forms::DialogOwner owner = forms::DialogOwner::Main) override;
    // Waits while a read of the read cycle is outstanding, at most
    // kReadWaitMs; a read that never got its answer is then given up.
    void WaitReadIdle() override;
    void Message(const std::string& text) override;
    void SetStatus(const std::string& text) override { StatBar.setText(3, text); }
    std::string NodeText(uint8_t address, int32_t serial) const;
    void RemoveAllDevices();
    void DispatchRead(uint8_t address, uint8_t function, const uint16_t* values, int count);
    // The bus as the commands use it (Requests.cpp).
    void SendStep(uint8_t address, uint16_t reg, uint16_t value, uint16_t timeoutMs) override;
    void SendBlock(uint8_t address, uint8_t start, const uint16_t* data, uint8_t count, uint16_t timeoutMs) override;
    void StopTimeOut() override;
    void KeepWaiting() override;
    void AddLog(const std::string& text) override { Log.Add(text); }
    // The link back at the bus settings held by ComPort.
    void ReopenBusLine() override;
    // The window as the commands use it (Commands.cpp).
    bool LoraRead() const override { return LoraRead_; }
    void SetUpdating(bool on) override { Updating_ = on; }
    bool Reading() const override;
    void HoldReading() override;
    void ReadLoraBlock() override;
    void RenameNode(forms::TreeNode* node, uint8_t address, int32_t serial) override;
    void ShowConcentrationDialog() override;
    void CloseConcentrationDialog() override;
    OperationRecorder& Recorder() override { return journal_; }
    // After an operation's end has been handled: the one read the journal
    // asks for when no read follows (follows) to show the values after.
    void JournalRead(bool follows);
    // The bus settings held by ComPort copied into the link.
    void ApplyToLink();

    // The bus overview (Overview.cpp).
    bool OverviewMayAsk() const;
    void OverviewTurn();
    void OverviewAnswer(uint8_t address, uint8_t function, const uint16_t* values, int count);
    // Before any other request: waits while an overview answer may still be
    // on the line; true when an overview request was outstanding (its answer
    // is to be purged).
    bool GiveWayToOverview();
    // An overview request and its answer on the line at the bus settings.
    uint32_t OverviewLineMs() const;
    // An overview answer not taken in this long after its request is
    // missed: its time on the line, the link's polling and a margin.
    uint32_t OverviewWaitMs() const;
    struct OverviewAsk {
        BusOverview::Ask ask;
        uint32_t at = 0; // tick count when it was sent
    };
    std::optional<OverviewAsk> OverviewAsked_;
    bool GivingWay_ = false;
    // A command waits for the read cycle's answer before it sends.
    bool WaitingForRead_ = false;
    // The port was lost: the rows are no longer heard.
    void OverviewLinkLost();
    // A request other than the overview's waits for its answer, sent at
    // that tick count.
    bool OtherAwaited_ = false;
    uint32_t OtherAskedAt_ = 0;
    // When the read cycle last sent its first request.
    uint32_t ReadTickAt_ = 0;
    std::unique_ptr<Timer> TimerOverview_;

    // The serial link (LinkLoss.cpp, PortOpen.cpp, StaleMark.cpp).
    bool OpenLink();
    void TryRegain();
    void ForgetLoss();
    void Regained(bool resumeReading);
    // Something answered on the link: a port that was failing is back.
    void LinkAnswered();
    void Unquiet();
    void Refuse(const std::string& text);
    std::string OpenFailureText() const;
    void CountCycle(bool missed);
    // Puts the read timer back as it was before a question or a wait,
    // unless the port was lost meanwhile.
    void ResumeReading(bool wasOn) override;
    void AnswerCame(uint8_t address);
    LinkWatch link_;

    // ---- Whose values the window holds and sends (Selection.cpp) -------------------
    // Makes node the selected device, or none: what the panel shows is then
    // another device's, values typed and not written are dropped, and the
    // concentration dialog, set up for the device before, closes.
    void SelectNode(forms::TreeNode* node);
    // After an answer of the selected device has been decoded into the panel.
    void PanelDecoded(uint8_t function, int32_t tag, int count);
    // With a device selected whose values were not read since it was
    // selected (read false), tells the technician to read it first and
    // returns true: the command that would send them is refused.
    bool RefuseUnread(bool read, forms::DialogOwner owner = forms::DialogOwner::Main) override;
    bool PanelRead() const override { return !Panel.OtherDevice.on(); }
    void CaptionSelected();
    void TimerHintTimer();
    // The LoRa window holds the whole block of the selected device, read since
    // it was selected; until then its values are a device's read before, or
    // none read at all.
    bool LoraRead_ = false;
    // The LoRa block read outstanding is the journal's: its answer goes to the
    // journal alone and leaves the LoRa window as it is.
    bool JournalLoraRead_ = false;
    forms::TreeNode* HintNode_ = nullptr; // told to use a newer tool since selected
    bool GasRead_ = false; // the selected device's gas read since it was selected
    std::unique_ptr<Timer> TimerHint_; // the newer-tool hint, once an answer is handled

    EventLoop& loop_;
    forms::Dialogs& dialogs_;
    WindowHost& windows_;
    char separator_;

    DeviceTable DevList_;
    std::array<forms::TreeNode*, 4> ModelNode_ {};
    forms::TreeNode* SelNode_ = nullptr;
    forms::TreeNode* ClickNode_ = nullptr;
    bool Finding_ = false;
    uint8_t FindAddr_ = 0;
    SearchPlan FindPlan_;
    // The network bus last named in "Сетевой порт...".
    std::string NetPort_;
    // The plan of the search that runs, within the bounds of its line, and
    // the link's own polling that a fast search returns to.
    SearchPlan Running_;
    std::optional<uint16_t> OwnPolling_;
    // A search across line settings that runs: the settings it tries now,
    // and the detectors found so far with the settings they answered at.
    struct LineSweep {
        size_t at = 0;
        std::vector<FoundAt> found;
    };
    std::optional<LineSweep> Sweep_;
    bool ReadBusy_ = false;
    bool Answered_ = false;
    TWriteOp WriteOp_ = woNone;
    bool Updating_ = false;
    int32_t TxCount_ = 0;
    int32_t RxCount_ = 0;

    std::unique_ptr<Timer> TimerFind_;
    std::unique_ptr<Timer> TimerRead_;
    std::unique_ptr<Timer> TimerReadOnes_;
    std::unique_ptr<Timer> TimerTimeOut_;

    Decoder decoder_;
    SettingsWrite settingsWrite_;
    CurrentOutput currentOutput_;
    std::unique_ptr<TFormDlg> formDlg_;
    std::unique_ptr<TFormLora> formLora_;
    std::unique_ptr<TAboutBox> aboutBox_;
    ServiceJournal journal_;
};

} // namespace zor
