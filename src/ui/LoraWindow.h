#pragma once
// The LoRa window on screen: the radio settings and the two ABP session
// keys of the selected detector. Shown modally from the reply that brought
// the settings; answers and timers go on being handled while it is open.

#include <QDialog>

namespace zor {
class TFormLora;
}

namespace zor::ui {

class LoraWindow : public QDialog {
    Q_OBJECT
public:
    LoraWindow(TFormLora& model, QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* radioGroup();
    QWidget* keyGroup();

    TFormLora& model_;
    QWidget* main_;
};

} // namespace zor::ui
