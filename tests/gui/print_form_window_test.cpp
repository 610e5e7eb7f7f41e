// The filtered print form "Stampa" on the offscreen platform.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recording_printer.h"
#include "support/recording_host.h"
#include "support/sqlite_builder.h"
#include "tableform/print_form_window.h"
#include "tableform/table_form_fixture.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

const QColor kYellow(255, 255, 128);

struct Form {
    SuiteFolder folder;
    Workspace ws = folder.workspace();
    ProgramState state;
    RecordingHost host;
    RecordingPrinter printer{{"Stampante Ufficio"}};
    std::vector<std::string> previewed;  // the print file as each preview found it
    std::unique_ptr<PrintFormWindow> window;

    explicit Form(const std::string& table = "ColonneOV") {
        ovtest::buildTableFormFolder(folder);
        state.printTableName = table;
    }
    PrintFormWindow& make() {
        PrintFormServices services;
        services.printer = &printer;
        services.showPreview = [this](QWidget* parent) {
            EXPECT_EQ(parent, window.get());
            previewed.push_back(folder.read("FD1"));
        };
        window = std::make_unique<PrintFormWindow>(ws, state, NumberFormat::italian(), host, services);
        return *window;
    }
    // Shows the form; a form that is to stay open is waited for until it is active.
    PrintFormWindow& show(bool staysOpen = true) {
        make();
        window->show();
        QApplication::setActiveWindow(window.get());
        if (staysOpen) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        return *window;
    }
    void click(int index) { QTest::mouseClick(window->button(index), Qt::LeftButton); }
    // Types into a value box and confirms with Enter.
    void enter(int row, const QString& typed) {
        QLineEdit* box = window->valueBox(row);
        box->setFocus();
        QApplication::processEvents();
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
    }
    void choose(int row, const QString& field, int op) {
        window->fieldCombo(row)->setCurrentText(field);
        window->operatorCombo(row)->setCurrentIndex(op);
    }
    std::string printed() const {
        std::string text;
        for (const auto& job : printer.jobs())
            for (const auto& page : job.pages)
                for (const auto& line : page.texts()) text += line + "\n";
        return text;
    }
};

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
}

bool yellow(const QWidget* w) { return w->palette().color(QPalette::Base) == kYellow; }

}  // namespace

TEST(PrintForm, StartsWithTheTablesFieldsAndThePrinters) {
    Form f;
    PrintFormWindow& w = f.make();
    EXPECT_EQ(w.windowTitle(), "Stampa - ");
    ASSERT_TRUE(w.activate());
    EXPECT_EQ(w.windowTitle(), "Stampa - ColonneOV");
    const char* frames[] = {"Selezione Dati", "Tipo Stampa", "In Ordine di ...", "Stampante"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w.frame(i)->title(), frames[i]);
    const char* captions[] = {"&Stampa", "&Esci", "&Anteprima", "Salva &Filtro"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(w.button(i)->text(), captions[i]);
    EXPECT_EQ(w.option(0)->text(), "Compresso");
    EXPECT_EQ(w.option(1)->text(), "Non Compresso");
    EXPECT_TRUE(w.option(0)->isChecked());

    const QStringList fields{"NumeroHotel", "NumeroColonna", "Intestazione", "CodiceVoce", "Descrizione"};
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(items(w.fieldCombo(i)), fields) << i;
        EXPECT_EQ(w.fieldCombo(i)->currentText(), "NumeroHotel");
    }
    const QStringList labels{" uguale a ", " inferiore a ", " superiore a ", " fino a ",
                             " da ",       " diverso da ",  " include ",     " non include "};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(items(w.operatorCombo(r)), labels);
        EXPECT_EQ(w.operatorCombo(r)->currentText(), " uguale a ");
        EXPECT_EQ(w.valueBox(r)->text(), "");
        EXPECT_FALSE(w.rowFromSavedFilter(r));
    }
    // "Numero > 0": every numbered printer, whatever its hotel, in table order.
    EXPECT_EQ(items(w.fieldCombo(9)), (QStringList{"LASER", "CAMPEGGIO", "AGHI", "SENZA TIPO"}));
    EXPECT_EQ(w.fieldCombo(9)->currentText(), "LASER");

    // A second activation keeps the field lists and the user's field choice.
    w.fieldCombo(0)->setCurrentIndex(2);
    ASSERT_TRUE(w.activate());
    EXPECT_EQ(w.fieldCombo(0)->count(), 5);
    EXPECT_EQ(w.fieldCombo(0)->currentText(), "Intestazione");
}

TEST(PrintForm, MissingLayoutIsToldAndTheFormCloses) {
    Form f("Nessuna");
    PrintFormWindow& w = f.show(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "Nessuna.stp - Inesistente!");
    EXPECT_EQ(f.host.messages[0].title, "File Mancante");
    EXPECT_EQ(f.host.messages[0].icon, Icon::Critical);
}

TEST(PrintForm, EnterCompletesDatesAndMovesDownTheRowsToStampa) {
    Form f("Diario");
    ovtest::SqliteBuilder(f.folder.path() / "Diario.mdb")
        .table("Diario", {{"NumeroHotel", "SHORT"}, {"DataEmissione", "TEXT(8)"}, {"dataora", "TEXT(8)"}})
        .row({1, "20240101", "20240101"});
    f.folder.writeText("Diario.stp", "1,Diario,Diario.mdb,Diario,,,,,,\r\n2,Data,,,DataEmissione,10,N,S,,\r\n");
    PrintFormWindow& w = f.show();

    f.choose(0, "DataEmissione", 4);  // " da "
    w.valueBox(1)->setText("vecchio");
    f.enter(0, "010124");
    EXPECT_EQ(w.valueBox(0)->text(), "01/01/2024");
    EXPECT_EQ(QApplication::focusWidget(), w.valueBox(1));
    EXPECT_EQ(w.valueBox(1)->selectedText(), "vecchio");  // typing replaces it

    f.choose(1, "DataEmissione", 6);  // " include ": a day-month fragment stays as typed
    f.enter(1, "0101");
    EXPECT_EQ(w.valueBox(1)->text(), "0101");
    EXPECT_EQ(QApplication::focusWidget(), w.valueBox(2));

    f.choose(2, "dataora", 0);  // small "data" is not a date field here
    f.enter(2, "010124");
    EXPECT_EQ(w.valueBox(2)->text(), "010124");

    f.choose(3, "DataEmissione", 7);  // " non include " is completed (only " include " is spared)
    f.enter(3, "311224");
    EXPECT_EQ(w.valueBox(3)->text(), "31/12/2024");

    for (int row = 4; row < 7; ++row) {
        f.enter(row, "x");
        EXPECT_EQ(QApplication::focusWidget(), w.valueBox(row + 1));
    }
    f.enter(7, "y");
    EXPECT_EQ(QApplication::focusWidget(), w.button(PrintFormWindow::Stampa));
    // Enter moved the focus only: nothing was printed, and the box kept its text as typed.
    EXPECT_EQ(w.valueBox(7)->text(), "y");
    EXPECT_TRUE(f.printer.calls().empty());
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_TRUE(w.isVisible());

    // Enter on a combo does nothing either; on the focused "&Stampa" it prints.
    w.fieldCombo(0)->setFocus();
    QTest::keyClick(w.fieldCombo(0), Qt::Key_Return);
    EXPECT_TRUE(f.printer.calls().empty());
    EXPECT_TRUE(w.isVisible());
    w.button(PrintFormWindow::Stampa)->setFocus();
    QTest::keyClick(w.button(PrintFormWindow::Stampa), Qt::Key_Return);
    EXPECT_EQ(f.printer.jobs().size(), 1u);
}

TEST(PrintForm, SavedFilterFillsItsRowsOnLightYellow) {
    Form f;
    f.folder.writeText("ColonneOV.fil",
                       "Compresso = N\r\nIn Ordine di NumeroColonna\r\nIntestazione = FATTURE\r\n"
                       "CodiceVoce >= Param3\r\nCampoVecchio <> 1\r\n");
    f.state.filterParams[2] = "12";
    PrintFormWindow& w = f.make();
    w.valueBox(5)->setText("resta");
    ASSERT_TRUE(w.activate());

    EXPECT_TRUE(w.option(1)->isChecked());
    EXPECT_EQ(w.fieldCombo(8)->currentText(), "NumeroColonna");
    EXPECT_EQ(w.fieldCombo(0)->currentText(), "Intestazione");
    EXPECT_EQ(w.operatorCombo(0)->currentText(), " uguale a ");
    EXPECT_EQ(w.valueBox(0)->text(), "FATTURE");
    EXPECT_EQ(w.fieldCombo(1)->currentText(), "CodiceVoce");
    EXPECT_EQ(w.operatorCombo(1)->currentText(), " da ");
    EXPECT_EQ(w.valueBox(1)->text(), "12");
    EXPECT_EQ(w.fieldCombo(2)->currentText(), "");  // no such field any more
    EXPECT_EQ(w.operatorCombo(2)->currentText(), " diverso da ");
    for (int r = 0; r < 3; ++r) {
        EXPECT_TRUE(w.rowFromSavedFilter(r));
        EXPECT_TRUE(yellow(w.valueBox(r)));
        EXPECT_EQ(w.fieldCombo(r)->palette().color(QPalette::Button), kYellow);
        EXPECT_EQ(w.operatorCombo(r)->palette().color(QPalette::Button), kYellow);
    }
    for (int r = 3; r < 8; ++r) {
        EXPECT_FALSE(w.rowFromSavedFilter(r));
        EXPECT_FALSE(yellow(w.valueBox(r)));
    }
    EXPECT_EQ(w.valueBox(5)->text(), "resta");

    // Printing stops at the row left without a field, and says so.
    w.button(PrintFormWindow::Stampa)->click();
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].number(), err::FieldNotFound);
    EXPECT_NE(f.host.errors[0].message().find("un criterio non ha un campo della tabella 'ColonneOV'"),
              std::string::npos)
        << f.host.errors[0].message();
    EXPECT_TRUE(f.printer.calls().empty());
}

TEST(PrintForm, AnteprimaPreviewsWhatTheEngineWroteThenStartsOver) {
    Form f;
    f.folder.writeText("ColonneOV.fil", "Compresso = S\r\nIn Ordine di NumeroColonna\r\nNumeroColonna < 3\r\n");
    PrintFormWindow& w = f.show();
    f.enter(0, "4");  // the user widens the saved choice before the preview
    w.option(1)->setChecked(true);
    f.click(PrintFormWindow::Anteprima);

    ASSERT_EQ(f.previewed.size(), 1u);
    const std::string& file = f.previewed[0];
    EXPECT_NE(file.find("|   1|BAR         |    12|"), std::string::npos) << file;
    EXPECT_NE(file.find("|   2|MINIBAR     |     7|"), std::string::npos);
    EXPECT_NE(file.find("|   3|RISTORANTE  |    15|"), std::string::npos);
    EXPECT_EQ(file.find("L\xB4""ANGOLO"), std::string::npos);
    EXPECT_TRUE(f.printer.calls().empty());

    // Back from the preview the start-up runs again: the saved filter is put back.
    EXPECT_EQ(w.valueBox(0)->text(), "3");
    EXPECT_TRUE(w.option(0)->isChecked());
    EXPECT_TRUE(w.isVisible());
}

TEST(PrintForm, StampaPrintsOnTheChosenDestinationAndNoCriterionSaysSo) {
    Form f;
    PrintFormWindow& w = f.show();
    f.click(PrintFormWindow::Stampa);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "E' necessario definire un criterio di stampa!");
    EXPECT_EQ(f.host.messages[0].title, "Mancano dati!");
    EXPECT_TRUE(f.printer.calls().empty());

    f.choose(0, "Intestazione", 6);
    w.valueBox(0)->setText("mini");
    f.click(PrintFormWindow::Stampa);
    EXPECT_EQ(w.valueBox(0)->text(), "MINI");  // the normalised value written back
    EXPECT_NE(f.printed().find("|   2|MINIBAR     |     7|"), std::string::npos) << f.printed();
    EXPECT_EQ(f.printed().find("RISTORANTE"), std::string::npos);
    EXPECT_FALSE(f.ws.exists("FD1"));
    EXPECT_TRUE(w.isVisible());
}

TEST(PrintForm, AJobThatFailedShowsItsFirstFailureAndNoPreview) {
    Form f;
    f.folder.writeText("FD1", "listato precedente\r\n");
    PrintFormWindow& w = f.show();
    f.choose(0, "NumeroColonna", 0);
    w.valueBox(0)->setText("1 OR 1=1");  // text typed for a number field: the engine rejects it
    f.click(PrintFormWindow::Anteprima);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].number(), err::TypeMismatch);
    EXPECT_TRUE(f.previewed.empty()) << "a preview of a listing that failed";
    EXPECT_EQ(f.folder.read("FD1"), "listato precedente\r\n");
    EXPECT_TRUE(w.isVisible());
}

TEST(PrintForm, SalvaFiltroAsksFirst) {
    Form f;
    f.folder.writeText("ColonneOV.fil", "vecchio\r\n");
    PrintFormWindow& w = f.show();
    f.choose(2, "Intestazione", 7);
    w.valueBox(2)->setText("BAR");
    w.fieldCombo(8)->setCurrentText("CodiceVoce");
    w.option(1)->setChecked(true);

    f.host.answers = {Answer::No};
    f.click(PrintFormWindow::SalvaFiltro);
    ASSERT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.host.questions[0].text, "Sicuro?");
    EXPECT_EQ(f.host.questions[0].title, "Salva Filtro");
    EXPECT_EQ(f.host.questions[0].defaultButton, Answer::No);
    EXPECT_EQ(f.folder.read("ColonneOV.fil"), "vecchio\r\n");

    f.host.answers = {Answer::Yes};
    f.click(PrintFormWindow::SalvaFiltro);
    EXPECT_EQ(f.folder.read("ColonneOV.fil"), "Compresso = N\r\nIn Ordine di CodiceVoce\r\nIntestazione Non BAR\r\n");
}

TEST(PrintForm, MarkerFilePrintsUnattendedAndCloses) {
    Form f;
    f.folder.writeText("ColonneOV.fil", "Compresso = S\r\nIn Ordine di NumeroColonna\r\nIntestazione = minibar\r\n");
    f.folder.writeText("MCCnf.txt", "");
    PrintFormWindow& w = f.show(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000));
    EXPECT_TRUE(f.host.messages.empty());
    ASSERT_EQ(f.printer.jobs().size(), 1u);
    EXPECT_NE(f.printed().find("|   2|MINIBAR     |     7|"), std::string::npos) << f.printed();
}

TEST(PrintForm, MarkerFileWithoutCriteriaSaysSoAndCloses) {
    Form f;
    f.folder.writeText("MCCnf.txt", "");
    PrintFormWindow& w = f.make();
    EXPECT_FALSE(w.activate());
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].title, "Mancano dati!");
    EXPECT_TRUE(f.printer.calls().empty());
}

TEST(PrintForm, EsciCloses) {
    Form f;
    PrintFormWindow& w = f.show();
    f.click(PrintFormWindow::Esci);
    EXPECT_FALSE(w.isVisible());
}
