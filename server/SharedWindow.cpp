#include "SharedWindow.h"

#include "WrenlogMainForm.h"

SharedWindow &SharedWindow::instance()
{
    static SharedWindow *holder = new SharedWindow; // lives as long as the process
    return *holder;
}

WrenlogMainForm *SharedWindow::form() const
{
    return m_form;
}

WrenlogMainForm *SharedWindow::ensureLoaded()
{
    if (m_form)
        return m_form;
    auto *form = new WrenlogMainForm;
    m_form = form;
    connect(form, &WrenlogMainForm::Unloaded, this, [this, form] {
        if (m_form == form)
            m_form = nullptr;
        // The user may close it while plug-in code runs (the start-up scan);
        // the object goes once that code has returned.
        form->deleteWhenIdle();
        emit unloaded();
    });
    try {
        form->Load();
    } catch (...) {
        m_form = nullptr;
        form->deleteLater();
        throw;
    }
    emit loaded();
    return form;
}
