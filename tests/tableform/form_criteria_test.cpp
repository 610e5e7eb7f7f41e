// The criteria text of the filtered print form, built from its eight rows.
#include <gtest/gtest.h>

#include <map>

#include "core/error.h"
#include "tableform/form_criteria.h"

using namespace ov;

namespace {

// Text, number and date fields as a record set reports them; any other name is unknown (3265).
FieldType typeOf(const std::string& field) {
    static const std::map<std::string, FieldType> types = {
        {"Intestazione", FieldType::Text},   {"NumeroColonna", FieldType::Integer},
        {"DataEmissione", FieldType::Text},  {"DATAREG", FieldType::Text},
        {"dataarrivo", FieldType::Text},     {"Note", FieldType::Memo},
    };
    auto it = types.find(field);
    if (it == types.end()) throw Error(err::FieldNotFound, "campo sconosciuto " + field);
    return it->second;
}

struct Criteria {
    CriteriaRows rows;
    ProgramState state;

    Criteria& row(int r, const std::string& field, std::string_view label, const std::string& value) {
        rows[static_cast<size_t>(r)] = {field, std::string(label), value};
        return *this;
    }
    std::string build() { return BuildCriteria(rows, typeOf, state, NumberFormat::italian()); }
    const std::string& value(int r) const { return rows[static_cast<size_t>(r)].value; }
};

const std::string_view kEqual = kOperatorLabels[0], kUpTo = kOperatorLabels[3], kFrom = kOperatorLabels[4],
                       kIncludes = kOperatorLabels[6], kExcludes = kOperatorLabels[7];

}  // namespace

TEST(FormCriteria, TextFieldsAreQuotedNumbersBareAndRowsJoined) {
    Criteria c;
    c.row(0, "Intestazione", kEqual, "fatture").row(1, "NumeroColonna", kFrom, "3");
    EXPECT_EQ(c.build(), "Intestazione =  'FATTURE'  and NumeroColonna >= 3");
    EXPECT_EQ(c.value(0), "FATTURE");
}

TEST(FormCriteria, EverySymbolInOrder) {
    const char* symbols[] = {"=", "<", ">", "<=", ">=", "<>"};
    for (size_t i = 0; i < 6; ++i) {
        Criteria c;
        c.row(0, "NumeroColonna", kOperatorLabels[i], "7");
        EXPECT_EQ(c.build(), std::string("NumeroColonna ") + symbols[i] + " 7") << kOperatorLabels[i];
    }
    Criteria c;
    c.row(0, "Intestazione", kIncludes, "tur");
    EXPECT_EQ(c.build(), "Instr(Intestazione,'TUR') > 0");
    c.row(0, "Intestazione", kExcludes, "tur");
    EXPECT_EQ(c.build(), "Instr(Intestazione,'TUR') = 0");
}

TEST(FormCriteria, OnlyRowsWithAValueCountInRowOrder) {
    Criteria c;
    c.row(0, "Intestazione", kEqual, "")
        .row(2, "NumeroColonna", kFrom, "2")
        .row(3, "Intestazione", kEqual, " ")
        .row(5, "Intestazione", kIncludes, "bar");
    EXPECT_EQ(c.build(), "NumeroColonna >= 2 and Instr(Intestazione,'BAR') > 0");
    EXPECT_EQ(c.value(3), " ");
}

TEST(FormCriteria, TwoBlanksAreAValue) {
    Criteria c;
    c.row(0, "Intestazione", kEqual, "  ");
    EXPECT_EQ(c.build(), "Intestazione =  '  ' ");
}

TEST(FormCriteria, NothingLeftGivesNoCriterion) {
    Criteria c;
    for (int r = 0; r < 8; ++r) c.row(r, "Intestazione", kEqual, "");
    std::string text = c.build();
    EXPECT_EQ(text, "");
    EXPECT_FALSE(HasCriterion(text));
    EXPECT_FALSE(HasCriterion(" "));
    EXPECT_TRUE(HasCriterion("NumeroColonna >= 2"));
}

TEST(FormCriteria, DatesAreCompletedCheckedAndReordered) {
    Criteria c;
    c.row(0, "DataEmissione", kUpTo, "311224").row(1, "DataEmissione", kFrom, "01/06/2024");
    EXPECT_EQ(c.build(), "DataEmissione <=  '20241231'  and DataEmissione >=  '20240601' ");
    EXPECT_EQ(c.value(0), "31/12/2024");

    // No 31 February: the box is emptied and the row drops out.
    Criteria invalid;
    invalid.row(0, "DataEmissione", kUpTo, "310224").row(1, "NumeroColonna", kEqual, "1");
    EXPECT_EQ(invalid.build(), "NumeroColonna = 1");
    EXPECT_EQ(invalid.value(0), "");
    EXPECT_EQ(invalid.state.monthLengths[1], 29);  // the check looked at 2024

    // The same test, asked before printing (the headless command refuses such a row).
    ProgramState state;
    const NumberFormat it = NumberFormat::italian();
    EXPECT_TRUE(HoldsInvalidDate({"dataarrivo", std::string(kUpTo), "310224"}, state, it));
    EXPECT_FALSE(HoldsInvalidDate({"DataEmissione", std::string(kUpTo), "290224"}, state, it));
    EXPECT_FALSE(HoldsInvalidDate({"DataEmissione", std::string(kUpTo), " "}, state, it));  // no value
    EXPECT_FALSE(HoldsInvalidDate({"DataEmissione", std::string(kExcludes), "3102"}, state, it));
    EXPECT_FALSE(HoldsInvalidDate({"Intestazione", std::string(kUpTo), "310224"}, state, it));
}

TEST(FormCriteria, CapitalOrSmallDataIsCompletedButOnlyDataIsReordered) {
    Criteria c;
    c.row(0, "DATAREG", kEqual, "010124").row(1, "dataarrivo", kEqual, "02012024");
    EXPECT_EQ(c.build(), "DATAREG =  '01/01/2024'  and dataarrivo =  '02/01/2024' ");
    EXPECT_EQ(c.value(0), "01/01/2024");
    EXPECT_EQ(c.value(1), "02/01/2024");
}

TEST(FormCriteria, IncludeOnADateLooksForMonthThenDayAndKeepsTheTypedValue) {
    Criteria c;
    c.row(0, "DataEmissione", kIncludes, "0612").row(1, "DataEmissione", kExcludes, "3112");
    const std::string expected = "Instr(DataEmissione,'1206') > 0 and Instr(DataEmissione,'1231') = 0";
    EXPECT_EQ(c.build(), expected);
    EXPECT_EQ(c.value(0), "0612");
    // A second print (or a preview and then the print) looks for the same days.
    EXPECT_EQ(c.build(), expected);
    EXPECT_EQ(c.value(0), "0612");
}

TEST(FormCriteria, ApostrophesBecomeAcuteAccentsInTheBoxAndTheQuery) {
    Criteria c;
    c.row(0, "Intestazione", kEqual, "l'angolo").row(1, "Intestazione", kIncludes, "'");
    EXPECT_EQ(c.build(), "Intestazione =  'L\xB4""ANGOLO'  and Instr(Intestazione,'\xB4') > 0");
    EXPECT_EQ(c.value(0), "L\xB4""ANGOLO");
}

TEST(FormCriteria, ANonNumberForANumberFieldStaysOneLiteral) {
    Criteria c;
    c.row(0, "NumeroColonna", kEqual, "1 or 1=1").row(1, "NumeroColonna", kFrom, " -2.5").row(2, "Note", kEqual, "x");
    EXPECT_EQ(c.build(), "NumeroColonna = '1 OR 1=1' and NumeroColonna >=  -2.5 and Note = 'X'");
}

TEST(FormCriteria, AnOperatorOutsideTheLabelsLeavesTheRowOut) {
    Criteria c;
    c.row(0, "Intestazione", "uguale a", "bar").row(1, "NumeroColonna", "", "3").row(2, "NumeroColonna", kEqual, "4");
    EXPECT_EQ(c.build(), "NumeroColonna = 4");
    EXPECT_EQ(c.value(0), "BAR");  // still normalised, as every row with a value
}

TEST(FormCriteria, AFieldTheTableLacksIsReportedWhateverTheOperator) {
    for (std::string_view op : {kEqual, kIncludes}) {
        Criteria c;
        c.row(0, "Sconosciuto", op, "x");
        try {
            c.build();
            ADD_FAILURE() << "no error for " << op;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::FieldNotFound);
        }
    }
}
