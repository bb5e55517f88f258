#pragma once
// An integer spin box with 64-bit bounds: the LoRa window's frequencies,
// device address and period go beyond what QSpinBox holds.

#include <QAbstractSpinBox>

#include <cstdint>

namespace zor::ui {

class Int64SpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit Int64SpinBox(QWidget* parent = nullptr);

    int64_t minimum() const { return min_; }
    int64_t maximum() const { return max_; }
    void setRange(int64_t min, int64_t max);
    int64_t singleStep() const { return step_; }
    void setSingleStep(int64_t step) { step_ = step; }
    int64_t value() const { return value_; }
    // Clamped into the bounds; valueChanged only when it changes.
    void setValue(int64_t v);
    void setMaxLength(int length);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

signals:
    void valueChanged(int64_t value);

protected:
    StepEnabled stepEnabled() const override;

private:
    void showValue();
    void takeText();

    int64_t min_ = 0;
    int64_t max_ = 99;
    int64_t step_ = 1;
    int64_t value_ = 0;
};

} // namespace zor::ui
