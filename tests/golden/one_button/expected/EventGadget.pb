;-TOP

; Tarnwick Event Gadget

; ***************************************************************************************

Procedure EventGadget_Window_0_Button_0(EventType)
  
  Select EventType
    Case #PB_EventType_LeftClick
      
  EndSelect
  
EndProcedure

; ***************************************************************************************

