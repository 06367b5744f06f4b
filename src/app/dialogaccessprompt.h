#pragma once

#include "rename/accessgrant.h"

class QFileDialog;
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

    // The folder panel, made but not shown, for a caller that opens it
    // without waiting (open()); deleted by the caller.
    static QFileDialog *makePanel(QWidget *parent, const QString &title, const QString &prompt,
                                  const QString &message, const QByteArray &proposedPath);
    // The folder chosen in a panel that has closed; none unless accepted.
    static std::optional<QByteArray> chosenFolder(const QFileDialog &panel);

private:
    QWidget *m_parent;
};
