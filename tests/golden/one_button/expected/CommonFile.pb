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
EndEnumeration

;- MenuItem Constants
;
Enumeration
EndEnumeration

;- Gadget Constants
;
Enumeration
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
EndEnumeration

;- Image Constants
;
Enumeration
  #Image_0
EndEnumeration


; ***************************************************************************************

;- Load Font

;- Image Plugin

UsePNGImageDecoder()

;- Load Images
LoadImage(#Image_0, "ok.png")


; ***************************************************************************************

Procedure Open_Window_0()
  OpenWindow(#Window_0, #PB_Ignore, #PB_Ignore, 300, 200, "Demo", #PB_Window_SystemMenu)
  ButtonGadget(#Window_0_Button_0, 10, 10, 100, 20, "OK")
EndProcedure

; ***************************************************************************************

