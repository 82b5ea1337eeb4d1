#pragma once

#include "PluginWindowHost.h"

#include <QPointer>

class WrenlogMainForm;

/**
 * The debug window as the plug-in facade reaches it. Once the window is gone
 * every target reads as missing, and the facade's members fail with run-time
 * error 91 instead of touching a dead window.
 */
class MainFormPluginHost : public PluginWindowHost
{
public:
    explicit MainFormPluginHost(WrenlogMainForm &form);
    ~MainFormPluginHost() override;

    QWidget *hostForm() override;
    RichTextView *hostRichText() override;
    QLineEdit *hostTopText() override;
    QObject *hostToolBar() override;
    void hostDebugPrint(const QString &text, qint32 colour, bool crLf) override;
    void hostDebugShow(const QString &pass) override;
    void hostEraseAll() override;
    bool hostOnTop() override;
    void hostSetOnTop(bool onTop) override;
    bool hostFold() override;
    void hostSetFold(bool fold) override;
    QObject *hostFileTypes() override;
    QObject *hostDefaultFilter() override;
    void hostSetDefaultFilter(QObject *fileType) override;
    QString hostDefaultFileName() override;
    void hostSetDefaultFileName(const QString &name) override;
    QAction *hostAddPluginMenuElement() override;
    QAction *hostAddPluginDropDownEntry() override;
    QAction *hostPluginMenuSeparator() override;
    std::shared_ptr<void> hostPluginCall() override;

private:
    WrenlogMainForm *form();

    QPointer<WrenlogMainForm> m_form;
};
