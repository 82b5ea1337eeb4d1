#include "FindBar.h"

#include "GlobalLibrary.h"
#include "Guard.h"
#include "PluginWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("FindBar.") + QLatin1String(procedure);
}

} // namespace

FindBar::FindBar(PluginWindow *window, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_window(window)
    , m_text(new QLineEdit(this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match case"), this))
    , m_regularExpression(new QCheckBox(QStringLiteral("Regular expression"), this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("LookoutFindBar"));
    setWindowTitle(QStringLiteral("Find"));
    m_text->setObjectName(QStringLiteral("txtFind"));
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_regularExpression->setObjectName(QStringLiteral("chkRegularExpression"));
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_text->setClearButtonEnabled(true);
    m_count->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("888888 of 888888")));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_regularExpression);
    layout->addWidget(m_count);

    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    const auto options = [this] {
        queryChanged();
        emit optionsChanged(m_matchCase->isChecked(), m_regularExpression->isChecked());
    };
    connect(m_matchCase, &QCheckBox::toggled, this, options);
    connect(m_regularExpression, &QCheckBox::toggled, this, options);

    if (m_window) {
        connect(m_window, &PluginWindow::Move, this, &FindBar::follow);
        connect(m_window, &PluginWindow::Resize, this, &FindBar::follow);
        connect(m_window, &PluginWindow::FoldEvent, this, &FindBar::folded);
        connect(m_window, &PluginWindow::OnTopEvent, this, &FindBar::onTop);
        // Prints and the user's own edits (Change) are heard only while the
        // bar is up (showEvent): a window with a Change listener prints each
        // piece at once, and one without DebugPrint listeners raises nothing.
        connect(m_window, &PluginWindow::AfterEraseAll, this, &FindBar::textChanged);
        connect(m_window, &PluginWindow::AfterOpen, this, &FindBar::textChanged);
    }
}

FindBar::~FindBar() = default;

void FindBar::showEvent(QShowEvent *event)
{
    m_textStale = true;
    if (m_window && !m_changeHeard) {
        m_changeHeard = connect(m_window, &PluginWindow::Change, this, &FindBar::textChanged);
        m_printHeard = connect(m_window, &PluginWindow::DebugPrintEvent, this, &FindBar::printed);
    }
    QWidget::showEvent(event);
}

void FindBar::hideEvent(QHideEvent *event)
{
    if (m_changeHeard) {
        disconnect(m_changeHeard);
        disconnect(m_printHeard);
        m_changeHeard = {};
        m_printHeard = {};
    }
    QWidget::hideEvent(event);
}

void FindBar::open()
{
    reportFailure(label("Open"), [&] {
        follow();
        m_hiddenByFold = false;
        if (m_window && m_window->Fold()) {
            m_hiddenByFold = true;
            return;
        }
        show();
        if (m_window)
            onTop(m_window->OnTop());
        raise();
        activateWindow();
        m_text->setFocus(Qt::ShortcutFocusReason);
        m_text->selectAll();
        queryChanged();
    });
}

void FindBar::follow()
{
    reportFailure(label("moWindow_Move"), [&] {
        if (!m_window)
            return;
        // Docked under the window's frame, as wide as it (or as the bar needs).
        const QRect frame = m_window->MainForm()->frameGeometry();
        setGeometry(frame.left(), frame.bottom() + 1, qMax(frame.width(), minimumSizeHint().width()),
                    sizeHint().height());
    });
}

void FindBar::folded(bool isFolded)
{
    // A folded window shows its caption and toolbar only: the bar goes with
    // the text it searches and comes back when the window unfolds.
    if (isFolded && isVisible()) {
        m_hiddenByFold = true;
        hide();
    } else if (!isFolded && m_hiddenByFold) {
        m_hiddenByFold = false;
        follow();
        show();
    }
}

void FindBar::onTop(bool isOnTop)
{
    reportFailure(label("moWindow_OnTop"), [&] {
        if (isVisible())
            GlobalLibrary().FormOnTop(isOnTop, this);
    });
}

void FindBar::refreshText()
{
    if (!m_textStale && m_search.hasText())
        return;
    m_search.setText(m_window ? m_window->Text() : QString());
    m_textStale = false;
}

void FindBar::queryChanged()
{
    m_problem = m_search.setQuery(m_text->text(), m_matchCase->isChecked(), m_regularExpression->isChecked());
    if (!m_problem.isEmpty()) {
        showCount(-1);
        return;
    }
    if (!isVisible())
        return;
    refreshText();
    int current = -1;
    if (m_window && m_window->SelLength() > 0)
        current = m_search.indexOf(m_window->SelStart(), m_window->SelLength());
    showCount(current);
}

void FindBar::showCount(int current)
{
    QPalette palette = m_count->palette();
    palette.setColor(QPalette::WindowText, m_problem.isEmpty() ? QColor(Qt::black) : QColor(Qt::red));
    m_count->setPalette(palette);
    if (!m_problem.isEmpty()) {
        m_count->setText(QStringLiteral("Invalid regular expression: ") + m_problem);
        return;
    }
    const qsizetype total = m_search.matches().size();
    m_count->setText(QStringLiteral("%1 of %2").arg(current >= 0 ? current + 1 : 0).arg(total));
}

bool FindBar::findNext(bool forward)
{
    bool found = false;
    reportFailure(label("FindNext"), [&] {
        if (!m_window || !m_problem.isEmpty())
            return;
        refreshText();
        const qint32 start = m_window->SelStart();
        const qint32 length = m_window->SelLength();
        // From the caret: a match already selected is passed over.
        const int index = forward ? m_search.next(length > 0 ? start + 1 : start) : m_search.previous(start);
        if (index < 0) {
            showCount(-1);
            return;
        }
        const TextSearch::Match match = m_search.matches().at(index);
        m_window->setSelStart(match.start);
        m_window->setSelLength(match.length);
        showCount(index);
        found = true;
    });
    return found;
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            m_hiddenByFold = false;
            hide();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
