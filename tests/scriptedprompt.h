// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/accessgrant.h"

#include <QByteArrayList>
#include <QList>
#include <QStringList>

#include <optional>

// The grant panel and alert of the window, answered from a script: each panel
// takes the next answer (a folder, or nothing for Cancel); a panel beyond the
// script is cancelled.
class ScriptedPrompt : public AccessPrompt
{
public:
    QList<std::optional<QByteArray>> answers;
    QByteArrayList proposed;
    QStringList panelTexts;
    QStringList alerts;

    std::optional<QByteArray> chooseFolder(const QString &title, const QString &prompt,
                                           const QString &message,
                                           const QByteArray &proposedPath) override
    {
        proposed << proposedPath;
        panelTexts = {title, prompt, message};
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }

    void alert(const QString &message) override { alerts << message; }
};
