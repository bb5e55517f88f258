#include "ui/MainWindow.h"

#include "app/TFormMain.h"
#include "ui/Bind.h"
#include "ui/DevicePanelView.h"
#include "ui/DeviceTreeWidget.h"
#include "ui/ErrorReport.h"
#include "ui/Icons.h"
#include "ui/LineMemoryStore.h"
#include "ui/NetworkPortWindow.h"
#include "ui/PortComboBox.h"
#include "ui/SearchOptionsWindow.h"
#include "ui/WindowPlaceStore.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolButton>

#include <map>

namespace zor::ui {

MainWindow::MainWindow(
    TFormMain& form, std::function<std::unique_ptr<ports::LineSettingsDialog>(QWidget*)> settingsDialog)
    : QMainWindow(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , form_(form)
    , settingsDialog_(std::move(settingsDialog))
{
    setObjectName("TFormMain");
    setWindowTitle(Caption);
    setLocale(NumberLocale(form.Separator()));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    column->addWidget(buttonBar());
    panels_ = new QHBoxLayout;
    panels_->setSpacing(2);
    panels_->addWidget(findPanel());
    panel_ = new DevicePanelView(form_, central);
    panel_->setFixedWidth(488);
    panels_->addWidget(panel_);
    column->addLayout(panels_, 1);
    setCentralWidget(central);

    statusBar()->setObjectName("StatBar");
    statusBar()->setSizeGripEnabled(false);
    BindStatusBar(form_.StatBar, statusBar());

    move(screen()->availableGeometry().topLeft());
}

void MainWindow::showEvent(QShowEvent* event)
{
    // The first time, as large as the content likes within the screen, less
    // a title bar; a size taken back from the last run stays.
    if (!shownBefore_ && !placeRecalled_) {
        const QSize screenRoom = screen()->availableGeometry().size() - QSize(0, 32);
        resize(sizeHint().boundedTo(screenRoom).expandedTo(minimumSizeHint()));
    }
    shownBefore_ = true;
    QMainWindow::showEvent(event);
}

void MainWindow::setViews(QWidget* overview, QWidget* trend)
{
    auto* panel = new ToolPanel("Обзор шины и тренд", this);
    panel->setObjectName("TrendPanel");
    panel->addSection("Обзор шины", overview, 2);
    panel->addSection("Тренд концентрации прибора, читаемого автоматически", trend, 3);
    panels_->addWidget(panel, 1);
}

void MainWindow::recallPlace()
{
    rememberPlace_ = true;
    const QByteArray place = LoadWindowPlace();
    if (!place.isEmpty())
        placeRecalled_ = restoreGeometry(place);
}

QWidget* MainWindow::buttonBar()
{
    auto* bar = new QFrame(this);
    bar->setObjectName("BtPanel");
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setFixedHeight(41);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(1);

    const std::map<const forms::Action*, std::string> icons {
        { &form_.ActFind, "find" },
        { &form_.ActStop, "stop" },
        { &form_.ActRenew, "read" },
        { &form_.ActReadStop, "stop" },
        { &form_.ActSaveToFile, "save" },
        { &form_.ActHelp, "help" },
        { &form_.Panel.ActZero, "zero" },
        { &form_.Panel.ActCalb, "calibrate" },
        { &form_.Panel.ActInit, "reset" },
    };
    auto iconOf = [icons](const forms::Action* a) {
        const auto it = icons.find(a);
        return it == icons.end() ? QIcon() : Icon(it->second);
    };
    // The captions fit the 46 px buttons in the narrow cut of the face.
    QFont narrow = font();
    narrow.setFamily("DejaVu Sans Condensed");
    auto button = [bar, narrow](const char* name) {
        auto* b = new QToolButton(bar);
        b->setFont(narrow);
        b->setObjectName(name);
        b->setFixedSize(46, 39);
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        return b;
    };
    const ButtonLook withHint { true, iconOf };

    QToolButton* find = button("BtFind");
    // "Найти" shows no hint; the others show their action's.
    BindActionButton(form_.BtFind, { &form_.ActFind, &form_.ActStop }, find, ButtonLook { false, iconOf },
        [this] { form_.BtFindClick(); });
    AddSearchMenu(find);
    QToolButton* read = button("BtRead");
    BindActionButton(
        form_.BtRead, { &form_.ActRenew, &form_.ActReadStop }, read, withHint, [this] { form_.BtReadClick(); });
    QToolButton* save = button("BtSave");
    BindAction(form_.ActSaveToFile, save, withHint, [this] { form_.ActSaveToFileExecute(); });
    QToolButton* help = button("SpeedButton1");
    BindAction(form_.ActHelp, help, withHint, [this] { form_.ActHelpExecute(); });
    QToolButton* journal = button("BtJournal");
    journal->setText("Журнал");
    journal->setIcon(Icon("journal"));
    journal->setToolTip("Журнал обслуживания приборов");
    connect(journal, &QToolButton::clicked, this, [this] {
        if (onJournal)
            Guarded(onJournal);
    });
    QToolButton* zero = button("BtClbZero");
    BindAction(form_.Panel.ActZero, zero, withHint, [this] { form_.ActZeroExecute(); });
    QToolButton* calb = button("BtClbConc");
    BindAction(form_.Panel.ActCalb, calb, withHint, [this] { form_.ActCalbExecute(); });
    QToolButton* init = button("BtClbInit");
    BindAction(form_.Panel.ActInit, init, withHint, [this] { form_.ActInitExecute(); });

    for (QWidget* w : { find, read, save, help, journal })
        row->addWidget(w);
    row->addStretch(1);
    for (QWidget* w : { zero, calb, init })
        row->addWidget(w);
    return bar;
}

QWidget* MainWindow::findPanel()
{
    auto* panel = new ToolPanel(qs(form_.FindPanel.text()), this);
    panel->setObjectName("FindPanel");
    panel->setFixedWidth(217);

    tree_ = new DeviceTreeWidget(form_.DevTree, TreeImage, panel);
    tree_->setObjectName("DevTree");
    tree_->onPress = [this](MouseButton button, forms::TreeNode* node) { form_.DevTreeMouseDown(button, node); };
    tree_->onDoubleClick = [this] { form_.DevTreeDblClick(); };
    panel->addSection("MODBUS RTU", tree_, 1);

    auto* settings = new QWidget(panel);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 6, 0, 6);
    row->setSpacing(3);
    portBox_ = new PortComboBox(settings);
    portBox_->setObjectName("ComBox");
    portBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portBox_->setMinimumContentsLength(10);
    // What the technician picks and sets is what the next run starts with.
    BindCombo(form_.ComBox, portBox_, [this](int index) {
        form_.ComBox.Pick(index);
        StoreLineMemory(form_.RememberedLine());
    });
    portBox_->onDropDown = [this] { form_.ComBox.DropDown(); };
    // The list may be wider than the panel: the popup shows whole names.
    portBox_->view()->setMinimumWidth(320);
    row->addWidget(portBox_, 1);

    auto* cfg = new QToolButton(settings);
    cfg->setObjectName("bCfg");
    cfg->setText("...");
    cfg->setToolTip(qs(form_.bCfgHint.text()));
    connect(cfg, &QToolButton::clicked, this, [this] {
        Guarded([this] {
            const auto dialog = settingsDialog_(this);
            form_.bCfgClick(*dialog);
            StoreLineMemory(form_.RememberedLine());
        });
    });
    row->addWidget(cfg);

    // A bus behind a serial device server or a Modbus TCP gateway is listed
    // and chosen as a port of its own.
    auto* network = new QPushButton("Сетевой порт...", settings);
    network->setObjectName("BtNetPort");
    network->setToolTip("Подключиться к шине через преобразователь RS-485 - Ethernet или шлюз Modbus TCP");
    connect(network, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            NetworkPortWindow dialog(this);
            form_.NetPortClick(dialog);
            StoreLineMemory(form_.RememberedLine());
        });
    });
    auto* column = new QVBoxLayout(settings);
    column->setSpacing(0);
    column->addLayout(row);
    column->addWidget(network, 0, Qt::AlignLeft);
    column->setContentsMargins(4, 0, 4, 6);
    panel->addSection("Настройки", settings);
    return panel;
}

void MainWindow::AddSearchMenu(QToolButton* find)
{
    // The standard search stays one press away; its options sit behind the
    // button's arrow.
    auto* menu = new QMenu(find);
    menu->setObjectName("MenuFind");
    QAction* options = menu->addAction("Параметры поиска...");
    options->setObjectName("ActFindOptions");
    connect(menu, &QMenu::aboutToShow, options, [this, options] { options->setEnabled(!form_.Finding()); });
    connect(options, &QAction::triggered, this, [this] {
        Guarded([this] {
            SearchOptionsWindow dialog(this);
            form_.FindOptionsClick(dialog);
        });
    });
    find->setMenu(menu);
    find->setPopupMode(QToolButton::MenuButtonPopup);
    // Settings a search found and the technician switched to are the next
    // run's as well.
    form_.OnLineChosen = [&form = form_] { StoreLineMemory(form.RememberedLine()); };
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (rememberPlace_)
        StoreWindowPlace(saveGeometry());
    Guarded([this] { form_.FormClose(); });
    event->accept();
}

} // namespace zor::ui
