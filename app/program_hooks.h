// The hooks through which lower subsystems reach higher ones, installed once at start-up (and by
// every test process before its first test).
#pragma once

void InstallProgramHooks();

void InstallPipelineHooks();
void InstallListHooks();
void InstallMetadataHooks();
void InstallViewerHooks();
void InstallBrowserHooks();
void InstallActionsHooks();
