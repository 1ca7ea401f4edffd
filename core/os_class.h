#pragma once
int GetOsClass();
