#include "ports/TPortBox.h"

#include "ports/TPortHolder.h"

namespace zor::ports {

TPortBox::~TPortBox()
{
    Unlink();
}

void TPortBox::Unlink()
{
    if (!fComm)
        return;
    fComm->NotifyDelete(this);
    fComm->RemoveFreeNotification(this);
    fComm = nullptr;
}

void TPortBox::SetPortHolder(TPortHolder* holder)
{
    std::vector<std::string> items;
    if (holder != fComm)
        Unlink();
    if (holder) {
        for (const TPortEntry& e : holder->GetDeviceList())
            items.push_back(e.NameFriendly);
    }
    setItems(std::move(items));
    if (!holder)
        return;
    setItemIndex(holder->GetDeviceIndex());
    holder->NotifyAdd(this, [this](TPortHolder&, int32_t code) {
        if (code == kPortChanged)
            Reload();
    });
    holder->FreeNotification(this, [this] {
        fComm = nullptr;
        setItemIndex(-1);
    });
    fComm = holder;
}

void TPortBox::Reload()
{
    SetPortHolder(fComm);
}

void TPortBox::Pick(int index)
{
    setItemIndex(index);
    if (fComm)
        fComm->SetDeviceIndex(itemIndex());
    if (OnChange)
        OnChange();
}

void TPortBox::DropDown()
{
    if (fComm)
        fComm->Update();
}

bool TPortBox::WMDeviceChange(const TDeviceChange& msg)
{
    return fComm && fComm->WMDeviceChange(msg);
}

} // namespace zor::ports
