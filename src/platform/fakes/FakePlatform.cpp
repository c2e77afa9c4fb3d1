// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/FakePlatform.h"
#include <QFileInfo>

MsgAnswer FakeMessageBoxes::show(QWidget *, const QString &title, const QString &text, MsgButtons buttons, MsgIcon icon)
{
    shown.append({title, text, buttons, icon});
    if (onShow)
        onShow(shown.last());
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty())
        return MsgAnswer::No;
    const MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

QString FakeMessageBoxes::inputBox(QWidget *, const QString &title, const QString &prompt, const QString &defaultAnswer)
{
    inputs.append({title, prompt, defaultAnswer});
    if (inputAnswers.empty())
        return {};
    const QString a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList t;
    for (const auto &m : shown)
        t << m.text;
    return t;
}

QString FakeFileDialogs::openFiles(QWidget *, const QString &title, const QString &filter)
{
    calls.append({QStringLiteral("open"), title, filter, {}});
    if (openAnswers.empty())
        return {};
    const QStringList paths = openAnswers.front();
    openAnswers.pop_front();
    return answerFor(paths);
}

QString FakeFileDialogs::saveFile(QWidget *, const QString &title, const QString &filter)
{
    calls.append({QStringLiteral("save"), title, filter, {}});
    if (saveAnswers.empty())
        return {};
    const QString a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
}

QString FakeFileDialogs::chooseFolder(QWidget *, const QString &prompt, const QString &startFolder)
{
    calls.append({QStringLiteral("folder"), prompt, {}, startFolder});
    if (folderAnswers.empty())
        return {};
    const QString a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
}

bool FakeClipboard::clear()
{
    ++clearAttempts;
    if (clearFailures > 0) {
        --clearFailures;
        return false;
    }
    text.clear();
    return true;
}

bool FakeClipboard::setText(const QString &t)
{
    ++setAttempts;
    if (setFailures > 0) {
        --setFailures;
        return false;
    }
    text = t;
    return true;
}

double FakeClock::secondsSinceMidnight()
{
    const double t = now;
    now += stepPerRead;
    if (now >= 86400.0)
        now -= 86400.0;
    return t;
}

std::optional<QString> FakeSettings::read(const QString &key)
{
    if (refuseReads)
        throw RuntimeError(RuntimeError::PermissionDenied, QStringLiteral("The settings could not be read."));
    if (!values.contains(key))
        return std::nullopt;
    return values.value(key);
}

void FakeSettings::write(const QString &key, const QString &value)
{
    if (refuseWrites)
        throw RuntimeError(RuntimeError::PermissionDenied, QStringLiteral("The settings could not be written."));
    values.insert(key, value);
    writes << key + QLatin1Char('=') + value;
}

namespace {

class FakeDocument : public IWordDocument {
public:
    FakeDocument(FakeWordFactory &f, QString path, FakeDocumentScript &s) : m_f(f), m_path(std::move(path)), m_s(s) {}
    word::PropertyValue builtinProperty(int number) override
    {
        if (number != 14)
            throw RuntimeError(RuntimeError::InvalidProcedureCall, QStringLiteral("Only item 14 is scripted."));
        m_f.log << QStringLiteral("prop14 ") + m_path;
        if (m_s.pageCountRefused || m_s.pageCounts.empty())
            throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("The page count is not available."));
        const word::PropertyValue v = m_s.pageCounts.front();
        if (m_s.pageCounts.size() > 1)
            m_s.pageCounts.pop_front();
        return v;
    }
    word::PropertyValue builtinProperty(const QString &name) override
    {
        m_f.log << QStringLiteral("prop ") + name;
        auto it = m_s.byName.constFind(name);
        if (it == m_s.byName.constEnd())
            throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("The property %1 is not set.").arg(name));
        return *it;
    }
    void close(int saveChanges) override { m_f.log << QStringLiteral("close %1 %2").arg(m_path).arg(saveChanges); }

private:
    FakeWordFactory &m_f;
    QString m_path;
    FakeDocumentScript &m_s;
};

class FakeApplication : public IWordApplication {
public:
    explicit FakeApplication(FakeWordFactory &f) : m_f(f) { ++m_f.liveInstances; }
    ~FakeApplication() override { --m_f.liveInstances; }
    std::shared_ptr<IWordDocument> open(const QString &path) override
    {
        m_f.log << QStringLiteral("open ") + path;
        auto it = m_f.documents.find(path);
        if (it == m_f.documents.end())
            throw RuntimeError(RuntimeError::FileNotFound, QStringLiteral("The file %1 was not found.").arg(path));
        if (it->onOpen)
            it->onOpen();
        it = m_f.documents.find(path); // the hook may have changed the script
        if (it == m_f.documents.end())
            throw RuntimeError(RuntimeError::FileNotFound, QStringLiteral("The file %1 was not found.").arg(path));
        if (!it->openError.isEmpty())
            throw RuntimeError(RuntimeError::AutomationError, it->openError);
        m_active = std::make_shared<FakeDocument>(m_f, path, *it);
        return m_active;
    }
    std::shared_ptr<IWordDocument> activeDocument() override
    {
        if (!m_active)
            throw RuntimeError(RuntimeError::AutomationError, QStringLiteral("No document is open."));
        return m_active;
    }
    void quit() override { m_f.log << QStringLiteral("quit"); }

private:
    FakeWordFactory &m_f;
    std::shared_ptr<IWordDocument> m_active;
};

} // namespace

std::unique_ptr<IWordApplication> FakeWordFactory::createInstance(const WordInstanceOptions &options)
{
    log << QStringLiteral("create");
    lastOptions = options;
    if (unavailable)
        throw RuntimeError(429, QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<FakeApplication>(*this);
}

class FakeWorkbook : public IWorkbook {
public:
    explicit FakeWorkbook(FakeSpreadsheet &s) : m_s(s) {}
    void setCell(int row, int column, const SheetCell &cell) override { m_s.cells.insert({row, column}, cell.text); }
    void autoFitColumns() override { m_s.autoFitted = true; }
    void show() override { m_s.shown = true; }

private:
    FakeSpreadsheet &m_s;
};

std::unique_ptr<IWorkbook> FakeSpreadsheet::create(const SheetDateFormats &)
{
    if (unavailable)
        throw RuntimeError(429, QStringLiteral("ActiveX component can't create object"));
    ++created;
    cells.clear();
    autoFitted = false;
    shown = false;
    return std::make_unique<FakeWorkbook>(*this);
}
