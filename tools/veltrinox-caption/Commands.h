#pragma once

#include <QStringList>

// The subcommands of veltrinox-caption. Each takes its arguments with its own name first and
// returns the exit status; bad usage throws UsageError.
int RunConvert(const QStringList& arguments);
int RunInspect(const QStringList& arguments);
int RunRender(const QStringList& arguments);
int RunSend(const QStringList& arguments);
int RunStagetext(const QStringList& arguments);
int RunStatus(const QStringList& arguments);
int RunListen(const QStringList& arguments);
