#pragma once
// The Parts, Special, Texture, Help and About menus of the main window. Each Connect function
// attaches its commands to the items the menu table made; a missing item is skipped.

#include <QString>

namespace zv::app {

class MainWindow;

// Everything below at once, and Form3 (PartsWindow.h); call after the configuration was read,
// since Form3 takes its place from it.
void ConnectMenuAreas(MainWindow& w);

// mnuParts: save every part as SCGT or F1 2000 VRL files, rename the parts.
void ConnectPartsCommands(MainWindow& w);
// mnuSpecial: package lists, clipboard lists, background picture, RAW to BMP conversion.
void ConnectSpecialCommands(MainWindow& w);
// mnuTex: "&Load Texture".
void ConnectTextureCommands(MainWindow& w);
// mnu_Info and mnu_about open their windows when clicked.
void ConnectHelpWindows(MainWindow& w);

// mnuView's OpenGL and wireframe submenus, the OpenGL view's state menu (its context menu) and
// the scene's camera display.
void ConnectViewCommands(MainWindow& w);

// mnuVertex and mnuFace: select all, deselect all, invert, bent quads, save the selection.
void ConnectSelectionCommands(MainWindow& w);

// The background item: loads the picture at path (the item then reads "Remove Background
// Picture"), or removes the loaded one. An empty path or an unreadable picture changes nothing.
void ToggleBackground(MainWindow& w, const QString& path);

// The text of the About window's info box.
QString AboutInfoText();
// Shows Form4, the About window, non-modally; any key closes and deletes it. Returns it.
QWidget* ShowAboutWindow(QWidget* owner);
// The three pages of the key assignment help.
QString KeyHelpPage(int page);
// Shows the key assignment window (its three pages as tabs). Returns it.
QWidget* ShowKeyHelpWindow(QWidget* owner);

} // namespace zv::app
