#pragma once

#include "rename/accessgrant.h"

class QWidget;

// The grant request as the user sees it: a folder chooser that names the
// folder the run needs, and an alert when the user declines. Both block the
// whole application until answered.
class DialogAccessPrompt : public AccessPrompt
{
public:
    explicit DialogAccessPrompt(QWidget *parent) : m_parent(parent) {}

    std::optional<QByteArray> chooseFolder(const QString &title, const QString &prompt,
                                           const QString &message,
                                           const QByteArray &proposedPath) override;
    void alert(const QString &message) override;

private:
    QWidget *m_parent;
};
