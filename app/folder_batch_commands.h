// The main window's batches over the shown folder: the media split and its distribution, the
// sub-folder merge and the folder-wide renames. Each asks, runs the actions and reports itself.
#pragma once

void CalculateMediaSplit();
void DistributeToMediaFolders();
void MergeSubfolders();
void BatchRenameFolder();
void BatchReplaceRenameFolder();
