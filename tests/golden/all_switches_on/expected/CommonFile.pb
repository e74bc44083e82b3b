; Tarnwick Commonfile (Do Not Edit - Allways Overwrite)

; ***************************************************************************************

;- Window Constants
;
Enumeration
  #Window_0
EndEnumeration

;- Menubar Constants
;
Enumeration
  #Window_0_Menu_0
EndEnumeration

;- MenuItem Constants
;
Enumeration
  #Window_0_MenuItem_1
EndEnumeration

;- Gadget Constants
;
Enumeration
  #Window_0_Text_0
  #Window_0_Button_0
EndEnumeration

;- StatusBar Constants
;
Enumeration
EndEnumeration

;- ToolBar Constants
;
Enumeration
EndEnumeration

;- Font Constants
;
Enumeration
  #Font_0
EndEnumeration

;- Image Constants
;
Enumeration
  #Image_0
EndEnumeration


; ***************************************************************************************

;- Load Font
LoadFont(#Font_0, "Arial", 10)

;- Image Plugin

UsePNGImageDecoder()

;- Catch Images
CatchImage(#Image_0, ?Image_0)

;- Images
DataSection
  Image_0:
  IncludeBinary "ok.png"
EndDataSection

; ***************************************************************************************

IncludeFile "LoadLanguage.pb"

; ***************************************************************************************

Procedure Open_Window_0()
  OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, 300, 200, MyLanguage("File"), #PB_Window_SystemMenu)
  If CreateMenu(#Window_0_Menu_0, WindowID(#Window_0))
    MenuTitle(MyLanguage("File"))
    MenuItem(#Window_0_MenuItem_1, MyLanguage("Open"))
  EndIf
  TextGadget(#Window_0_Text_0, 10, 10, 100, 20, MyLanguage("File"))
  ButtonGadget(#Window_0_Button_0, 10, 40, 100, 20, MyLanguage("Open"))
EndProcedure

; ***************************************************************************************

