// ImpCOV, the column set-up dialog, on the offscreen platform.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/app_context.h"
#include "app/main_window.h"
#include "columns/column_dialog.h"
#include "data/sqlite_store.h"
#include "support/recording_host.h"
#include "support/suite_folder.h"

using namespace ov;
using ovtest::RecordingHost;
using ovtest::SuiteFolder;

namespace {

QString line(const QString& code, const QString& description) {
    return QString(6 - code.size(), QLatin1Char(' ')) + code + " " + description.leftJustified(40) + " ";
}

struct StoredRow {
    int column;
    std::string heading;
    int code;
    bool operator==(const StoredRow&) const = default;
};

class ColumnDialogTest : public ::testing::Test {
protected:
    ColumnDialogTest() {
        const std::pair<int, const char*> groups[] = {{7, "Minibar"},     {12, "Bar"},      {14, "Caffetteria"},
                                                      {15, "Ristorante"}, {21, "Telefono"}, {22, "Lavanderia"}};
        for (auto& [code, name] : groups) folder.add("VociFattura.mdb", "VociFattura", {1, code, code, name});
        folder.add("VociFattura.mdb", "VociFattura", {1, 13, 12, "Bar - caff\xC3\xA8"});
        folder.add("ColonneOV.mdb", "ColonneOV", {1, 1, "BAR", 12, "Bar"});
        folder.add("ColonneOV.mdb", "ColonneOV", {1, 2, "SPA", 21, "Telefono"});
    }

    ColumnDialog& open() {
        folder.build();
        dialog = std::make_unique<ColumnDialog>(ws, state, NumberFormat::italian(), host,
                                                [this](QWidget* parent) { printParents.push_back(parent); });
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QApplication::processEvents();
        return *dialog;
    }

    // The column chosen in Combo1 with the keyboard, as a user would.
    void chooseColumn(int column) {
        QComboBox* combo = dialog->columnSelector();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 1; i < column; ++i) QTest::keyClick(combo, Qt::Key_Down);
        QApplication::processEvents();
        ASSERT_EQ(combo->currentText(), QString::number(column));
    }

    void typeHeading(const QString& text, bool confirm = true) {
        QLineEdit* field = dialog->headingField();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        if (confirm) QTest::keyClick(field, Qt::Key_Return);
        QApplication::processEvents();
    }

    void clickLine(int list, const QString& text) {
        QListWidget* l = dialog->list(list);
        auto found = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        l->scrollToItem(found[0]);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(found[0]).center());
        QApplication::processEvents();
    }

    QStringList lines(int list) const {
        QStringList out;
        for (int i = 0; i < dialog->list(list)->count(); ++i) out << dialog->list(list)->item(i)->text();
        return out;
    }

    std::vector<StoredRow> stored() const {
        SqliteStore store(folder.path() / "ColonneOV.mdb", "ColonneOV.mdb", SqliteStore::Open::ReadOnly);
        auto table = store.loadTable("ColonneOV");
        std::vector<StoredRow> out;
        for (const Row& r : table->rows)
            out.push_back({static_cast<int>(r[1].asInteger()), std::string(r[2].asText()), static_cast<int>(r[3].asInteger())});
        return out;
    }

    SuiteFolder folder;
    Workspace ws = folder.workspace();
    ProgramState state;
    RecordingHost host;
    std::vector<QWidget*> printParents;
    std::unique_ptr<ColumnDialog> dialog;
};

}  // namespace

TEST_F(ColumnDialogTest, ControlsCaptionsAndFirstColumn) {
    ColumnDialog& d = open();
    EXPECT_EQ(d.windowTitle(), "Impostazione Colonne Incassi");
    EXPECT_EQ(d.objectName(), "ImpCOV");
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(d.frame()->title(), "Scheda Colonne ");
    EXPECT_EQ(d.label(0)->text(), "N. Colonna :");
    EXPECT_EQ(d.label(1)->text(), "Intestazione :");
    const QString headingLine = "Codice " + QString("Descrizione").leftJustified(40) + " ";
    EXPECT_EQ(d.label(2)->text(), headingLine);
    EXPECT_EQ(d.label(3)->text(), headingLine);
    ASSERT_EQ(d.columnSelector()->count(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(d.columnSelector()->itemText(i), QString::number(i + 1));
    EXPECT_EQ(d.columnSelector()->currentText(), "1");
    EXPECT_EQ(d.headingField()->maxLength(), 10);
    EXPECT_EQ(d.headingField()->text(), "BAR");
    EXPECT_EQ(d.button(0)->text(), "&Stampa");
    EXPECT_EQ(d.button(1)->text(), "&Esci");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(QFontInfo(d.list(i)->font()).fixedPitch());
        EXPECT_TRUE(QFontInfo(d.label(2 + i)->font()).fixedPitch());
    }
    EXPECT_EQ(lines(0), QStringList{line("12", "Bar")});
    EXPECT_EQ(lines(1), (QStringList{line("7", "Minibar"), line("12", "Bar"), line("14", "Caffetteria"),
                                     line("15", "Ristorante"), line("21", "Telefono"), line("22", "Lavanderia")}));
    EXPECT_EQ(QApplication::focusWidget(), d.columnSelector());
}

TEST_F(ColumnDialogTest, ChoosingAColumnShowsItsHeadingAndGroups) {
    open();
    chooseColumn(3);
    EXPECT_EQ(dialog->headingField()->text(), "");
    EXPECT_TRUE(lines(0).isEmpty());
    chooseColumn(2);
    EXPECT_EQ(dialog->headingField()->text(), "SPA");
    EXPECT_EQ(lines(0), QStringList{line("21", "Telefono")});
}

TEST_F(ColumnDialogTest, EnterInTheHeadingCleansItAndMovesToTheGroups) {
    open();
    chooseColumn(4);
    typeHeading("abc'd");
    EXPECT_EQ(dialog->headingField()->text(), QString::fromUtf8("ABC´D"));
    EXPECT_EQ(QApplication::focusWidget(), dialog->list(1));
    // An empty heading becomes one blank and keeps the focus.
    dialog->headingField()->setFocus();
    dialog->headingField()->clear();
    QTest::keyClick(dialog->headingField(), Qt::Key_Return);
    EXPECT_EQ(dialog->headingField()->text(), " ");
    EXPECT_EQ(QApplication::focusWidget(), dialog->headingField());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ColumnDialogTest, AssigningAGroupAndRefusingOneAlreadyUsed) {
    open();
    chooseColumn(5);
    clickLine(1, line("15", "Ristorante"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "E' Necessario intestare prima la colonna!");
    EXPECT_EQ(host.messages[0].title, "Dati Incompleti");

    typeHeading("altro");
    clickLine(1, line("21", "Telefono"));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].text, "Gruppo Fatturazione già utilizzato!\r\nColonna : 2 (SPA)");
    EXPECT_EQ(host.messages[1].title, "Codice Errato");
    EXPECT_TRUE(lines(0).isEmpty());

    clickLine(1, line("15", "Ristorante"));
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(lines(0), QStringList{line("15", "Ristorante")});
    EXPECT_EQ(stored(), (std::vector<StoredRow>{{1, "BAR", 12}, {2, "SPA", 21}, {5, "ALTRO", 15}}));
    // Enter on a line of the groups assigns it too.
    dialog->list(1)->setFocus();
    dialog->list(1)->setCurrentRow(2);  // 14 Caffetteria
    QTest::keyClick(dialog->list(1), Qt::Key_Return);
    EXPECT_EQ(lines(0), (QStringList{line("15", "Ristorante"), line("14", "Caffetteria")}));
}

TEST_F(ColumnDialogTest, EachRowKeepsTheHeadingItWasAssignedWith) {
    open();
    chooseColumn(4);
    typeHeading("rist");
    clickLine(1, line("15", "Ristorante"));
    typeHeading("cucina", false);  // not confirmed: stored cleaned all the same
    clickLine(1, line("14", "Caffetteria"));
    EXPECT_EQ(dialog->headingField()->text(), "cucina");
    EXPECT_EQ(stored(),
              (std::vector<StoredRow>{{1, "BAR", 12}, {2, "SPA", 21}, {4, "RIST", 15}, {4, "CUCINA", 14}}));
    chooseColumn(5);
    chooseColumn(4);
    EXPECT_EQ(dialog->headingField()->text(), "RIST");
}

TEST_F(ColumnDialogTest, RemovingAGroupFreesItForAnotherColumn) {
    open();
    clickLine(0, line("12", "Bar"));
    EXPECT_TRUE(lines(0).isEmpty());
    EXPECT_EQ(stored(), (std::vector<StoredRow>{{2, "SPA", 21}}));
    chooseColumn(11);
    typeHeading("bar nu");
    clickLine(1, line("12", "Bar"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(stored(), (std::vector<StoredRow>{{2, "SPA", 21}, {11, "BAR NU", 12}}));
}

TEST_F(ColumnDialogTest, DuplicateLinesShowOnlyWhenTheOptionLettersHoldL) {
    folder.add("ColonneOV.mdb", "ColonneOV", {1, 1, "BAR", 12, "Bar"});
    open();
    EXPECT_EQ(lines(0), QStringList{line("12", "Bar")});
    state.optionLetters = "&KL";
    chooseColumn(2);
    chooseColumn(1);
    EXPECT_EQ(lines(0), (QStringList{line("12", "Bar"), line("12", "Bar")}));
}

TEST_F(ColumnDialogTest, StampaNamesTheTableAndOpensThePrintForm) {
    open();
    QTest::mouseClick(dialog->button(0), Qt::LeftButton);
    EXPECT_EQ(state.printTableName, "ColonneOV");
    EXPECT_EQ(printParents, std::vector<QWidget*>{dialog.get()});
    // Without a print form the button only names the table.
    ColumnDialog bare(ws, state, NumberFormat::italian(), host);
    state.printTableName.clear();
    QTest::mouseClick(bare.button(0), Qt::LeftButton);
    EXPECT_EQ(state.printTableName, "ColonneOV");
    QTest::mouseClick(dialog->button(1), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ColumnDialogTest, ADatabaseErrorEndsTheClickAndTheDialogStays) {
    open();
    std::filesystem::remove(folder.path() / "ColonneOV.mdb");
    clickLine(0, line("12", "Bar"));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].number(), 3024);
    EXPECT_TRUE(dialog->isVisible());
}

// The "Tabelle" menu of the main window opens the dialog modally; without VociFattura.mdb the
// error is reported and no dialog shows.
TEST(ColumnDialogWiring, TabelleMenuOpensTheDialog) {
    SuiteFolder folder;
    folder.build();
    Workspace ws = folder.workspace();
    ProgramState state;
    AppContext ctx(ws, state, NumberFormat::italian());
    wireApplication(ctx);
    RecordingHost host;
    MainWindow window(ctx, host);
    window.show();
    QString seen;
    QWidget* seenParent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        seen = modal->windowTitle();
        seenParent = modal->parentWidget();
        modal->close();
    });
    window.tablesAction()->trigger();
    EXPECT_EQ(seen, "Impostazione Colonne Incassi");
    EXPECT_EQ(seenParent, &window);
    EXPECT_TRUE(host.errors.empty());

    std::filesystem::remove(folder.path() / "VociFattura.mdb");
    window.tablesAction()->trigger();
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].number(), 3024);
}
