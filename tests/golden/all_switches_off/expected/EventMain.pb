;-TOP

; Tarnwick EventMain (Do Not Edit - Allways Overwrite)

; *********************************************************************************************************

Procedure MyEventMenu(MenuID)
  Select MenuID
    Case #Window_0_MenuItem_1 : EventMenu_Window_0_MenuItem_1()
  EndSelect
EndProcedure

; *********************************************************************************************************

Procedure MyEventGadget(GadgetID, EventType)
  Select GadgetID
    Case #Window_0_Button_0 : EventGadget_Window_0_Button_0(EventType)
  EndSelect
EndProcedure

; *********************************************************************************************************

Procedure MyEventSize(WindowID)
  Select WindowID
    Case #Window_0 : EventSize_Window_0()
  EndSelect
EndProcedure

; *********************************************************************************************************

Procedure MyEventExit(WindowID)
  Select WindowID
    Case #Window_0 : EventExit_Window_0()
  EndSelect
EndProcedure

; *********************************************************************************************************

; IDE Options = PureBasic 5.10 Beta 1 (Windows - x86)
; CursorPosition = 33
; FirstLine = 4
; Folding = -
