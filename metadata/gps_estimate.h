// GPS services: a picture's position estimated from the GPS logs in its folder, and a position
// opened on a web map site. User-interface thread only; one estimate at a time.
#pragma once
#include <windows.h>
#include <cstdint>

#include "metadata/pure/gps_log.h"
#include "metadata/pure/map_site.h"

// The shooting time of the picture being placed (wall-clock scale, GpsWallClockSeconds); the
// caller sets it before the logs are read, e.g. with ParseGpsShootingTime on its date text.
extern int64_t GpsShootingTime;
extern GpsPointTable g_gpsPointTable;

// One estimate: set GpsShootingTime; InitGpsPointTable; load the logs (LoadFolderGpsLogs, or
// the three loaders file by file); EstimatePhotoPosition; ClearGpsPoints.
void InitGpsPointTable();
void LoadAuTxtLog(const wchar_t* path);
void LoadDocomoCsvLog(const wchar_t* path);
void LoadGpxLog(const wchar_t* path);
// Every file of the folder that the GPS settings' format switches enable, in the order
// "*.txt" (AU), "*.csv" (Docomo), "*.gpx".
void LoadFolderGpsLogs(const wchar_t* folder);
// Keeps the point when it lies within the settings' window of GpsShootingTime and there is room.
bool AddGpsPoint(int64_t time, double latitude, double longitude);
// Opens the point nearest the shooting time on the settings' map site; false when none qualifies.
bool EstimatePhotoPosition();
void ClearGpsPoints();

// Opens the WGS84 position on map site 0, 1 or 2 (any other number opens nothing) through the
// shell; returns its result.
intptr_t OpenMapSite(int32_t site, double latitude, double longitude);
// For tests: the shell call underneath (ShellExecuteW unless replaced).
extern HINSTANCE(WINAPI* g_shellExecuteFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
