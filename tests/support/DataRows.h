#pragma once

#include <QtTest>
#include <tuple>

// A QTest data table whose rows are tuples in one column, so the columns are
// named once, where the test reads them:
//   using Sizes = DataRows<QString, int>;       // a class member alias
//   void sizes_data() { Sizes::columns(); Sizes::row("empty", "", 0); }
//   void sizes() { const auto [text, size] = Sizes::fetch(); ... }
// QTest checks each row's type against the column, so a mismatch fails loudly.
template <typename... Columns>
struct DataRows {
    using Row = std::tuple<Columns...>;

    static void columns() { QTest::addColumn<Row>("row"); }
    static void row(const char *tag, Columns... values) { QTest::newRow(tag) << Row(std::move(values)...); }
    static void row(const QString &tag, Columns... values) { row(qPrintable(tag), std::move(values)...); }
    static Row fetch() { return *static_cast<Row *>(QTest::qData("row", qMetaTypeId<Row>())); }
};
