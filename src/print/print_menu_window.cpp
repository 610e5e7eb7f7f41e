#include "print/print_menu_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <filesystem>

#include "core/cp1252.h"
#include "platform/driver_printer_qt.h"
#include "print/editable_preview_window.h"
#include "print/page_printing.h"
#include "print/preview_window.h"
#include "print/print_file.h"
#include "print/print_setup.h"
#include "platform/qt_common.h"

namespace fs = std::filesystem;

namespace ov {

namespace {

const char* const kCaptions[5] = {"&Stampa", "&Anteprima (senza modifica)", "&Esci", "&Anteprima (con modifica)",
                                  "&Anteprima (Word)"};



}  // namespace

PrintMenuWindow::PrintMenuWindow(const Workspace& ws, ProgramState& state, Host& host, PrintMenuServices services,
                                 QWidget* parent)
    : QDialog(parent), ws_(ws), state_(state), host_(host), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Stampe non modificabili"));
    setObjectName(QStringLiteral("MenuStampa"));

    frame_ = new QGroupBox(QStringLiteral("Selezione"), this);
    frame_->setObjectName(QStringLiteral("SSFrame1"));
    auto* label = new QLabel(QStringLiteral("Stampante ....:"), frame_);
    destinations_ = new QComboBox(frame_);
    destinations_->setObjectName(QStringLiteral("Combo1"));
    destinations_->setMinimumWidth(220);
    label->setBuddy(destinations_);
    printers_ = new QComboBox(frame_);
    printers_->setObjectName(QStringLiteral("Combo2"));
    printers_->setEditable(true);
    printers_->setInsertPolicy(QComboBox::NoInsert);
    duplex_ = new QCheckBox(QStringLiteral("Stampa fronte / retro"), frame_);
    landscape_ = new QCheckBox(QStringLiteral("Stampa orizzontale"), frame_);
    compressed_ = new QCheckBox(QStringLiteral("Stampa Compressa"), frame_);

    auto* grid = new QGridLayout(frame_);
    grid->addWidget(label, 0, 0);
    grid->addWidget(destinations_, 0, 1);
    grid->addWidget(printers_, 1, 1);
    grid->addWidget(duplex_, 2, 1);
    grid->addWidget(landscape_, 3, 1);
    grid->addWidget(compressed_, 4, 1);
    grid->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout;
    for (int i : {Stampa, Anteprima, AnteprimaModifica, AnteprimaWord, Esci}) {
        auto* b = new QPushButton(QString::fromUtf8(kCaptions[i]), this);
        b->setObjectName(QStringLiteral("Tasto%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { clicked(i); });
        buttons_[static_cast<size_t>(i)] = b;
        column->addWidget(b);
    }
    column->addStretch(1);

    auto* main = new QHBoxLayout(this);
    main->addWidget(frame_, 1);
    main->addLayout(column);

    load();
}

// Loading: each step goes on whatever the step before it met.
void PrintMenuWindow::load() {
    adjustSize();
    centreOnScreen(*this);
    if (state_.hotelNumber == 0) state_.hotelNumber = 1;

    std::error_code ec;
    fs::path docFolder = ws_.pathFor("doc");
    if (!fs::is_directory(docFolder, ec)) fs::create_directory(docFolder, ec);

    try {
        std::string copyName = documentCopyName(ws_, ws_.now());
        if (auto printFile = ws_.find(printFileWriteName(ws_))) {
            fs::path target = ws_.pathFor(copyName);
            if (fs::copy_file(*printFile, target, fs::copy_options::overwrite_existing, ec))
                documentCopy_ = target.string();
        }
    } catch (const std::exception&) {
        documentCopy_.clear();
    }

    std::vector<std::string> installed;
    try {
        installed = services_.installedPrinters ? services_.installedPrinters() : QtDriverPrinter::installedPrinters();
    } catch (const std::exception&) {
    }
    printers_->clear();
    for (const auto& name : installed) printers_->addItem(toQt(name));
    if (installed.empty()) printers_->addItem(QStringLiteral("<nessuna stampante>"));
    printers_->setCurrentIndex(-1);
    printers_->setEditText(QString());
}

bool PrintMenuWindow::activate() {
    activated_ = true;
    frame_->update();
    std::vector<std::string> names;
    try {
        optionLetters_ = readOptionLetters(ws_);
        names = readDestinations(ws_);
    } catch (const Error& e) {
        host_.showError(e);
        names.clear();
    }
    destinations_->clear();
    for (const auto& n : names) destinations_->addItem(toQt(n));
    if (names.empty()) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return false;
    }
    destinations_->setCurrentIndex(0);
    return true;
}

void PrintMenuWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) activate();
}

void PrintMenuWindow::print() {
    PrintFileJob job;
    job.destination = fromQt(destinations_->currentText());
    job.windowsPrinter = fromQt(printers_->currentText());
    job.compressed = compressed_->isChecked();
    job.landscape = landscape_->isChecked();
    job.duplex = duplex_->isChecked();
    job.optionLetters = optionLetters_;
    job.hotelNumber = state_.hotelNumber;
    WaitCursor wait;
    printPrintFile(ws_, job, services_.printer ? *services_.printer : programPrinter());
}

void PrintMenuWindow::clicked(int index) {
    try {
        switch (index) {
            case Stampa:
                print();
                break;
            case Anteprima:
                if (services_.showPreview)
                    services_.showPreview(this);
                else
                    showPreview(this, ws_, host_);
                activate();
                break;
            case Esci:
                accept();
                break;
            case AnteprimaModifica:
                if (services_.showEditablePreview)
                    services_.showEditablePreview(this);
                else
                    showEditablePreview(this, ws_, host_, services_.printer ? *services_.printer : programPrinter(),
                                        state_.hotelNumber);
                activate();
                break;
            case AnteprimaWord:
                // The shell's answer is not looked at; without a copy there is nothing to open.
                if (!documentCopy_.empty()) host_.openWithAssociatedProgram(documentCopy_);
                break;
        }
    } catch (const Error& e) {
        host_.showError(e);
    } catch (const std::exception& e) {
        host_.showError(Error(err::FileIo, e.what()));
    }
}

void showPrintMenu(QWidget* parent, const Workspace& ws, ProgramState& state, Host& host) {
    PrintMenuWindow menu(ws, state, host, {}, parent);
    if (menu.activate()) menu.exec();
}

}  // namespace ov
