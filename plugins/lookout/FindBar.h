#pragma once

#include "TextSearch.h"

#include <QPointer>
#include <QWidget>

class PluginWindow;
class QCheckBox;
class QLabel;
class QLineEdit;

/**
 * The find bar: a small window docked under the debug window that follows it
 * (moves, folds and on-top state), with the text to find, "Match case",
 * "Regular expression" and the count "3 of 17".
 *
 * Enter selects the next match after the caret, Shift+Enter the previous one,
 * both wrapping around; Esc closes the bar. The window's text is read once and
 * kept until the window reports a change, so moving between matches in a
 * large window costs a binary search. An invalid regular expression shows its
 * reason in the bar, in red, instead of a count.
 */
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(PluginWindow *window, QWidget *parent = nullptr);
    ~FindBar() override;

    /// Shows the bar under the window with the focus in the text box.
    void open();
    /// Selects the next (or previous) match in the window; false when there is none.
    bool findNext(bool forward = true);

    QLineEdit *txtFind() const { return m_text; }
    QCheckBox *chkMatchCase() const { return m_matchCase; }
    QCheckBox *chkRegularExpression() const { return m_regularExpression; }
    QLabel *lblCount() const { return m_count; }

    /// The window's text changed: read it again before the next search.
    void textChanged() { m_textStale = true; }
    void printed(const QString &, qint32, bool, bool &) { m_textStale = true; }

signals:
    /// The options changed (to keep them in the settings).
    void optionsChanged(bool matchCase, bool regularExpression);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void follow();
    void folded(bool isFolded);
    void onTop(bool isOnTop);
    void queryChanged();
    void showCount(int current);
    void refreshText();

    QPointer<PluginWindow> m_window;
    QLineEdit *m_text;
    QCheckBox *m_matchCase;
    QCheckBox *m_regularExpression;
    QLabel *m_count;
    TextSearch m_search;
    QString m_problem;
    bool m_textStale = true;
    bool m_hiddenByFold = false;
    QMetaObject::Connection m_changeHeard;
    QMetaObject::Connection m_printHeard;
};
