// The computation read through its listing: the row format, a row every 10
// steps, single-precision time, and throws whose end the flight fixes (both
// windows use one integrator in one step order).
#include <charconv>
#include <limits>

#include "diagram_test_support.h"
#include "flight_model.h"

using namespace diagtest;

namespace {

// Rows of a flight ending at step `end`: the start row, then steps 11, 21, ...
std::size_t RowsUntil(long end) { return 1 + static_cast<std::size_t>((end - 1) / 10); }

// Flight time after `steps` steps, summed in single precision, as listed.
std::string ListedTime(int steps) {
    float t = 0.0f;
    for (int i = 0; i < steps; ++i) t = static_cast<float>(static_cast<double>(t) + 0.005f);
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, static_cast<double>(t), std::chars_format::fixed, 2).ptr);
}

// A listed value, read in the listing's convention whatever the locale.
double Value(const std::string& text) {
    double v = std::numeric_limits<double>::quiet_NaN();
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

std::vector<Row> Calculated(const Flight& f) {
    OwnWindow w(f);
    w.Calculate();
    return Rows(*w);
}

// Whether `text` is a number written in fixed notation: an optional minus
// (when `sign` allows it), at least one digit, a point and exactly
// `decimals` digits.
bool FixedNotation(const std::string& text, int decimals, bool sign) {
    std::size_t i = sign && !text.empty() && text[0] == '-' ? 1 : 0;
    const auto digits = [&] {
        std::size_t n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++n;
        return n;
    };
    if (digits() == 0 || i == text.size() || text[i++] != '.') return false;
    return digits() == static_cast<std::size_t>(decimals) && i == text.size();
}

double MaxHeight(const std::vector<Row>& rows) {
    double h = 0;
    for (const Row& r : rows) h = std::max(h, Value(r[2]));
    return h;
}

}  // namespace

TEST(DiagramListing, DefaultThrowListsEveryTenthStepInTheFixedFormat) {
    OwnWindow w;
    w.Calculate();
    EXPECT_EQ(w->Listing().str().rfind("0.00\t0.000\t0.000\t20.000\t", 0), 0u);
    const std::vector<Row> rows = Rows(*w);
    ASSERT_EQ(rows.size(), RowsUntil(856));  // the flight's default end step
    EXPECT_EQ(rows[1][0], "0.05");            // step 11: 0.0549999 in single precision
    EXPECT_EQ(rows[2][0], "0.11");            // step 21: 0.1050000
    EXPECT_EQ(rows.back()[0], ListedTime(851));
    for (const Row& r : rows) {
        EXPECT_TRUE(FixedNotation(r[0], 2, false)) << r[0];
        for (int c = 1; c < 4; ++c) EXPECT_TRUE(FixedNotation(r[c], 3, true)) << r[c];
    }
    // The box shows the listing itself.
    EXPECT_EQ(w->GetDlgItem(IDC_LISTING)->GetWindowText(), w->Listing());
}

TEST(DiagramListing, WithoutSpinAndDragEndsAtTheFlightsStep578) {
    OwnWindow w(Flight{.spinOn = false, .dragOn = false});
    w.Calculate();
    const std::vector<Row> rows = Rows(*w);
    ASSERT_EQ(rows.size(), RowsUntil(578));
    EXPECT_EQ(rows.back()[0], ListedTime(571));
    EXPECT_NEAR(Value(rows.back()[3]), 20.0, 0.5) << "without drag it lands as fast as it left";
    // Steps 576 to 578 lie in pixel column 207; step 579 would reach 208.
    EXPECT_GT(CountInColumn(*w, SampleX(2.89), kDarkRed), 0);
    EXPECT_EQ(CountInColumn(*w, SampleX(2.895), kDarkRed) + CountInColumn(*w, SampleX(2.895), kBlue), 0);
}

TEST(DiagramListing, RowOfTheLastStepShowsTheHeightBelowGround) {
    // Angle 47 lands at step 841, which has a row: rows come before the test.
    const std::vector<Row> rows = Calculated(Flight{.angle = 47});
    ASSERT_EQ(rows.size(), RowsUntil(841));
    EXPECT_EQ(rows.back()[2].front(), '-') << rows.back()[2];
    EXPECT_NE(rows[rows.size() - 2][2].front(), '-');
}

TEST(DiagramListing, FlatThrowWithoutSpinListsOnlyTheStartRow) {
    OwnWindow w(Flight{.angle = 0, .spinOn = false});
    w.Calculate();
    EXPECT_EQ(w->Listing().str(), "0.00\t0.000\t0.000\t20.000\t");
    // Two steps, both in pixel column 20; a fourth step would reach 21.
    EXPECT_EQ(CountInColumn(*w, SampleX(0.02), kBlue), 0);
}

TEST(DiagramListing, VerticalThrowDriftsByAHairButNotNothing) {
    const std::vector<Row> rows = Calculated(Flight{.angle = 90, .spinOn = false});
    ASSERT_GT(rows.size(), 10u);
    EXPECT_GT(MaxHeight(rows), 15.0);
    // cos of the single-precision right angle is tiny and negative.
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i][1], "-0.000") << "row " << i;
}

TEST(DiagramListing, SignOfTheSpinDecidesTheLift) {
    const double plain = MaxHeight(Calculated(Flight{.spin = 0}));
    EXPECT_GT(MaxHeight(Calculated(Flight{.spin = 10})), plain + 0.5);
    EXPECT_LT(MaxHeight(Calculated(Flight{.spin = -10})), plain - 0.5);
    // Flat: lifted it flies on, pushed down it lands at the first step.
    EXPECT_EQ(Calculated(Flight{.angle = 0, .spin = 10}).size(), RowsUntil(930));
    EXPECT_EQ(Calculated(Flight{.angle = 0, .spin = -10}).size(), 1u);
    // Switched off, the spin value does not matter.
    EXPECT_EQ(Calculated(Flight{.spin = 30, .spinOn = false}), Calculated(Flight{.spin = -30, .spinOn = false}));
}

TEST(DiagramListing, UncheckedInputsStillEndTheComputation) {
    // A zero mass makes the coefficients infinite, the state no number at
    // the first step; such states give no pixel.
    EXPECT_EQ(Calculated(Flight{.mass = 0}).size(), 1u);
    EXPECT_EQ(Calculated(Flight{.mass = 0, .spin = 0}).size(), 1u);
    EXPECT_EQ(Calculated(Flight{.speed = std::numeric_limits<float>::quiet_NaN()}).size(), 1u);
    // Too fast for gravity to change the single-precision speed: only the
    // bound on steps ends it.
    EXPECT_EQ(Calculated(Flight{.speed = 1e30f, .angle = 90, .spinOn = false, .dragOn = false}).size(),
              RowsUntil(physics::kMaxSteps));
}
