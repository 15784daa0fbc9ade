// The menu callbacks that the game screens also call directly.
#pragma once

bool StartGame(void* sender, const char* mode);
bool GotoRoadTrip(void* sender, const char* arg);
