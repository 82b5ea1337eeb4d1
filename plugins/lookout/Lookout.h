#pragma once

#include "HighlightRule.h"
#include "LineCap.h"
#include "LookoutSettings.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "WrenlogPlugin.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVarLengthArray>

class FindBar;

/**
 * Lookout, the plug-in for reading a busy window: a find bar (Ctrl+F, "Find..."),
 * "Pause Output" (Ctrl+Shift+P), "Time Stamps", "Show Sender", highlight
 * rules and a cap on the number of lines, the last two set in its properties
 * dialog. Everything goes through the window facade.
 *
 * A stamp or sender goes in front of a new line as a grey print of its own,
 * made from the DebugPrint event of the piece, which the window appends once
 * the event is over. A piece that Lookout changes otherwise (a highlight
 * colour, several lines in one piece) or holds (while paused) is cancelled in
 * the event and printed again through the facade, in parts. Lookout's prints
 * raise the event again and Lookout lets its own through untouched, so a
 * plug-in after it in the load order sees a prefix before the piece it
 * belongs to, and a changed piece first cancelled and then in its parts.
 * With every feature off Lookout does not listen to DebugPrint at all.
 *
 * Held pieces keep the time they arrived and their sender. They are printed,
 * in order, when the pause ends, and also when the window is asked to close
 * (BeforeQuit, so a plug-in that saves the text then saves them too) and when
 * the plug-in is killed; nothing held is ever dropped.
 */
class Lookout : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    explicit Lookout(QObject *parent = nullptr);
    ~Lookout() override;

    QVariant Name() override;
    QVariant Author() override;
    QVariant Version() override;
    QVariant DateStamp() override;
    QVariant Comments() override;
    QString Key() override;
    bool HasProperties() override;
    void ShowProperties() override;
    void Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore) override;
    void Splash() override;
    void Run() override;
    void Kill() override;
    bool IsRunning() override;

    // The commands, as their menu entries and keys run them.
    void OpenFind();
    void setPaused(bool paused);
    bool Paused() const { return m_paused; }
    void setTimeStamps(bool on);
    void setShowSender(bool on);
    /// Takes new settings (the properties dialog's), keeps them in the store.
    void applySettings(const LookoutSettings &settings);

    /// Text of the stamp for a time in milliseconds since the epoch, "hh:mm:ss.zzz " in local time.
    static QString stampText(qint64 msecsSinceEpoch);

private:
    struct Piece
    {
        QString text;
        qint32 colour = 0;
        bool crLf = true;
        qint64 arrived = 0;
        QString sender;
    };
    struct Part
    {
        QString text;
        qint32 colour = 0;
        bool crLf = false;
    };
    using Parts = QVarLengthArray<Part, 4>;

    void moWindow_DebugPrint(const QString &Text, qint32 Colour, bool CrLfAtEnd, bool &Cancel);
    void moWindow_KeyPress(qint32 KeyCode, qint32 Shift);
    void moWindow_BeforeQuit(bool &Cancel);
    void moWindow_TextReplaced();

    bool changesPieces() const;
    /// Listens to DebugPrint only while a feature needs it.
    void updateListening();
    /// What a piece prints as: a grey prefix at each line start, each line's
    /// part in its highlight colour. Moves the line state on.
    Parts shape(const Piece &piece);
    void printParts(const Parts &parts);
    void hold(Piece piece);
    void releaseHeld();
    void showWaiting();
    void scheduleTrim();
    void trim();
    void saveSetting(const QString &name, const QVariant &value);

    QString m_key;
    QPointer<PluginWindow> moWindow;
    QPointer<PropertyStore> m_store;
    QPointer<PluginMenuItem> moMnuFind;
    QPointer<PluginMenuItem> moMnuPause;
    QPointer<PluginMenuItem> moMnuTimeStamps;
    QPointer<PluginMenuItem> moMnuShowSender;
    QPointer<FindBar> m_findBar;

    LookoutSettings m_settings;
    HighlightRules m_rules;
    LineCap m_cap;
    QTimer m_trimTimer;
    QTimer m_waitingTimer;

    bool m_running = false;
    bool m_paused = false;
    bool m_reprinting = false;
    // Whether the next piece starts a line, as far as the prints seen tell.
    bool m_atLineStart = true;
    // The text of the line being printed, for the highlight rules.
    QString m_line;
    QList<Piece> m_held;
    QMetaObject::Connection m_printHeard;
    qint64 m_heldLines = 0;
    QString m_topTextBeforePause;
};
