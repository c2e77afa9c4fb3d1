#pragma once
// What the results tests share: a main window stand-in, a handler context over the fake platform and
// a quick way to fill a results table.
#include "app/ErrorReport.h"
#include "app/MainWindowState.h"
#include "app/SettingsStore.h"
#include "app/UiContext.h"
#include "platform/fakes/FakePlatform.h"
#include "results/ResultsTable.h"
#include <QList>
#include <QStringList>

class FakeWindow : public MainWindowState {
public:
    int mousePointer() const override { return pointerValue; }
    void setMousePointer(int value) override
    {
        pointerValue = value;
        history << value;
    }
    bool hasEnded() const override { return ended; }

    int pointerValue = pointer::Default;
    QList<int> history;
    bool ended = false;
};

struct Harness {
    FakePlatform fakes;
    ErrorReporter errors{fakes.messages};
    SettingsStore settings{fakes.settings};
    FakeWindow window;
    UiContext ctx;

    Harness()
    {
        ctx.platform = fakes.platform();
        ctx.errors = &errors;
        ctx.settings = &settings;
        ctx.window = &window;
        ctx.appTitle = QStringLiteral("Quillmere");
    }

    // The error reports shown so far, in order.
    QList<ShownMessage> reports() const
    {
        QList<ShownMessage> r;
        for (const ShownMessage &m : fakes.messages->shown)
            if (m.title == ErrorReporter::Title)
                r << m;
        return r;
    }
    // The plain messages (not error reports) shown so far.
    QStringList plainMessages() const
    {
        QStringList r;
        for (const ShownMessage &m : fakes.messages->shown)
            if (m.title != ErrorReporter::Title)
                r << m.text;
        return r;
    }
};

struct TestRow {
    QString path;
    QStringList values;
    bool checked = true;
};

// Columns "Filename" plus the given property headers, then the rows.
inline void fillTable(ResultsTable &table, const QStringList &propertyHeaders, const QList<TestRow> &rows)
{
    table.removeAllColumns();
    table.addColumn(QStringLiteral("Filename"));
    for (const QString &h : propertyHeaders)
        table.addColumn(h);
    table.clearRows();
    for (const TestRow &row : rows) {
        const ResultsTable::RowId id = table.appendRow(row.path);
        for (int k = 0; k < row.values.size(); ++k)
            table.setValueText(id, k + 1, row.values[k]);
    }
    table.checkAllRows();
    for (int r = 0; r < rows.size(); ++r)
        if (!rows[r].checked)
            table.setChecked(r + 1, false);
}

Q_DECLARE_METATYPE(TestRow)
