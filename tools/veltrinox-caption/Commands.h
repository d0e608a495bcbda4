#pragma once

#include <QStringList>

// The subcommands of veltrinox-caption. Each takes its arguments with its own name first and
// returns the exit status; bad usage throws UsageError.
int RunConvert(const QStringList& arguments);
int RunInspect(const QStringList& arguments);
int RunRender(const QStringList& arguments);
