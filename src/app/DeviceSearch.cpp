// The device search: one probe of the identification number per step of
// TimerFind, addresses 1 to 247 (or the range the technician picked); every
// detector that answers with a known identification number gets a record and
// a tree node. A fast search steps as fast as the line allows, with the link
// polling every few milliseconds until the search ends.

#include "app/TFormMain.h"

#include "app/HolderLine.h"

#include "device/Registers.h"
#include "device/Tables.h"

namespace zor {

void TFormMain::ActFindExecute()
{
    if (ReadBusy_ || WriteOp_ != woNone)
        return;
    // A port that cannot be opened is explained, and no search runs without
    // answers.
    if (!LinkReady())
        return;
    Panel.DevPanel.setEnabled(false);
    RemoveAllDevices();
    Running_ = FindPlan_;
    if (Running_.lines.empty())
        Sweep_.reset();
    else
        Sweep_ = LineSweep {};
    Finding_ = true;
    StartSearchLeg();
    BtFind.setAction(&ActStop);
    Panel.ActZero.setEnabled(false);
    Panel.ActCalb.setEnabled(false);
    Panel.ActInit.setEnabled(false);
}

void TFormMain::FindOptionsClick(SearchOptionsDialog& dialog)
{
    if (Finding_)
        return;
    SearchPlan plan = FindPlan_;
    if (!dialog.edit(plan, VSModbus.Line()))
        return;
    FindPlan_ = Bounded(plan, VSModbus.Line());
    Log.Add(PlanText(FindPlan_));
}

void TFormMain::StartSearchLeg()
{
    if (Sweep_) {
        const LineChoice& line = Running_.lines[Sweep_->at];
        VSModbus.SetDataBits(TDataBits::db8BITS);
        ReopenLink(line.baud, line.parity, line.stopBits);
        // The port went away or is taken between two settings: the search
        // cannot go on, and says why.
        if (!VSModbus.Connected()) {
            Log.Add(OpenFailureText());
            ActStopExecute();
            return;
        }
    }
    const SearchPlan leg = Bounded(Running_, VSModbus.Line());
    Running_.first = leg.first;
    Running_.last = leg.last;
    FindAddr_ = static_cast<uint8_t>(leg.first - 1);
    if (leg.probeMs != 0) {
        if (!OwnPolling_)
            OwnPolling_ = VSModbus.PollingDelay();
        VSModbus.SetPollingDelay(FastPollingMs(VSModbus.Line()));
    }
    static_assert(kStandardStepMs == kProbeTimeoutMs + 100);
    TimerFind_->setInterval(leg.probeMs != 0 ? leg.probeMs : kStandardStepMs);
    TimerFind_->setEnabled(true);
}

void TFormMain::RemoveAllDevices()
{
    DevTree.clear();
    SelectNode(nullptr);
    ClickNode_ = nullptr;
    settingsWrite_.ForgetAll();
    ModelNode_.fill(nullptr);
    DevList_.freeAll();
    Overview.Sync(DevList_);
}

void TFormMain::TimerFindTimer()
{
    ++FindAddr_;
    if (FindAddr_ > Running_.last) {
        // The step after the last address moves a search across line
        // settings on to the next settings.
        if (Sweep_ && Sweep_->at + 1 < Running_.lines.size()) {
            ++Sweep_->at;
            StartSearchLeg();
            return;
        }
        ActStopExecute();
        return;
    }
    SearchStatus();
    ReadBlock(FindAddr_, ProbeBlock);
}

void TFormMain::SearchStatus()
{
    if (!Sweep_) {
        SetStatus("Поиск: " + std::to_string(FindAddr_));
        return;
    }
    SetStatus("Поиск: " + LineCaption(Running_.lines[Sweep_->at]) + ", адрес " + std::to_string(FindAddr_)
        + ", найдено " + std::to_string(Sweep_->found.size()));
}

std::string TFormMain::NodeText(uint8_t address, int32_t serial) const
{
    return "#" + std::to_string(address) + " : 0" + std::to_string(serial);
}

void TFormMain::AddFoundDevice(uint8_t address, int32_t serial)
{
    const auto model = ClassifyModel(serial);
    if (!model)
        return;
    if (Sweep_ && !SweepFound(address, serial))
        return;
    // An answer from address 0 or above 247 cannot be a detector's.
    if (!DevList_.create(address, *model, serial))
        return;
    Overview.Sync(DevList_);
    forms::TreeNode*& modelNode = ModelNode_[static_cast<size_t>(*model)];
    if (!modelNode)
        modelNode = DevTree.add(nullptr, std::string(ModelNames[static_cast<size_t>(*model)]), *model + 1);
    forms::TreeNode* node = DevTree.add(modelNode, NodeText(address, serial), 0);
    DevTree.expandAll();
    DevTree.setOverlayIndex(node, address);
    // A detector due for calibration says so on its node and once in the log.
    const std::string due = journal_.CalibrationHint(serial);
    if (!due.empty()) {
        DevTree.setHint(node, due);
        Log.Add("Прибор " + NodeText(address, serial) + ": " + due);
    }
}

bool TFormMain::SweepFound(uint8_t address, int32_t serial)
{
    // An answer from address 0 or above 247 cannot be a detector's.
    if (address < 1 || address > 247)
        return false;
    const LineChoice& line = Running_.lines[Sweep_->at];
    const TDevice* known = DevList_.at(address);
    if (known && known->Serial != serial) {
        // Two detectors at one address, each at its own line settings: the
        // first found keeps the address, the other is only told of.
        Log.Add("Адрес " + std::to_string(address) + ": при настройках линии " + LineCaption(line)
            + " отвечает другой прибор (" + NodeText(address, serial) + "), он не добавлен.");
        return false;
    }
    Sweep_->found.push_back({ address, serial, line });
    Log.Add("Прибор " + NodeText(address, serial) + " отвечает при настройках линии " + LineCaption(line));
    SearchStatus();
    // Answering at more settings than one, it is still one detector.
    return !known;
}

void TFormMain::ActStopExecute()
{
    // Past the last address at the last settings: the search ran through.
    const bool whole = Sweep_ && Sweep_->at + 1 >= Running_.lines.size() && FindAddr_ > Running_.last;
    TimerFind_->setEnabled(false);
    Finding_ = false;
    if (OwnPolling_) {
        VSModbus.SetPollingDelay(*OwnPolling_);
        OwnPolling_.reset();
    }
    BtFind.setAction(&ActFind);
    ActRenew.setEnabled(true);
    FindAddr_ = 0;
    SetStatus("Поиск окончен");
    Log.Add(StatBar.text(3));
    if (Sweep_) {
        const std::vector<FoundAt> found = std::move(Sweep_->found);
        Sweep_.reset();
        EndSweep(found, whole);
    }
}

void TFormMain::EndSweep(const std::vector<FoundAt>& found, bool whole)
{
    // The bus settings go back to the link; a lost port is reopened with
    // them when it returns, and nothing is offered meanwhile.
    ApplyToLink();
    if (!link_.lost.empty())
        return;
    ReopenBusLine();
    const LineChoice bus { ComPort.BaudRate(), LinkParity(ComPort.Parity()), LinkStopBits(ComPort.StopBits()) };
    const bool busIsEightBits = ComPort.ByteSize() == 8;
    const std::optional<LineChoice> best = MostAnswered(found, busIsEightBits ? std::optional(bus) : std::nullopt);
    if (!best || (busIsEightBits && *best == bus))
        return;
    const std::string offer = std::string(whole ? "" : "Перебор настроек линии остановлен до конца. ")
        + "Больше всего приборов отвечает при настройках линии " + LineCaption(*best) + ", шина настроена на "
        + LineCaption(bus.baud, ComPort.ByteSize(), static_cast<int>(bus.parity), static_cast<int>(bus.stopBits))
        + ". Перейти на " + LineCaption(*best) + "?";
    if (dialogs_.message(
            forms::DialogOwner::Main, forms::MessageKind::Confirmation, offer, forms::MessageButtons::YesNo)
        != forms::Answer::Yes)
        return;
    ComPort.SetBaudRate(best->baud);
    ComPort.SetByteSize(8);
    ComPort.SetParity(HolderParity(best->parity));
    ComPort.SetStopBits(HolderStopBits(best->stopBits));
    ApplyToLink();
    ReopenBusLine();
    PortCaption(ComBox.text(), ComPort.BaudRate(), ComPort.ByteSize(), static_cast<int>(ComPort.Parity()),
        static_cast<int>(ComPort.StopBits()));
    Log.Add("Настройки линии: " + LineCaption(*best));
    if (OnLineChosen)
        OnLineChosen();
}

} // namespace zor
