#pragma once

#include "MessageBox.h"
#include "PropertyStoreCollection.h"
#include "Tackpad.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class PluginWindow;
class PropertyStore;
class TackpadPopupForm;

/**
 * A running note plug-in on the process's shared debug window, with a fresh
 * notes folder and a fresh settings file per test. Questions are answered
 * with `answer` and recorded; failures that would reach the error dialog are
 * recorded in `failures`.
 */
class TackpadTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Creates, initialises and runs the plug-in (settings may be written before).
    void start();
    /// Writes a note file with the given plain text, through the window's own RTF writer.
    QString writeNote(const QString &name, const QString &text);
    QStringList listed() const;
    QString noteText(const QString &path);

    PluginWindow *window = nullptr;
    PropertyStore *store = nullptr;
    std::unique_ptr<PropertyStoreCollection> stores;
    std::unique_ptr<Tackpad> plugin;
    TackpadPopupForm *list = nullptr;
    QString notes;
    int answer = MessageBox::IdYes;
    QStringList questions;
    QStringList failures;

private:
    MessageBox::Presenter m_previousPresenter;
};
