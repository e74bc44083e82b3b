; ------------------------------------------------------------
;  Options window of the Tarnwick demo
;  (older form layout: one Open_ procedure per window)
; ------------------------------------------------------------

Global Options_Changed.l

Procedure Open_Window_1()
	If OpenWindow(#Window_1, 216, 0, 300, 200, "Options, général", #PB_Window_SystemMenu | #PB_Window_TitleBar)
		If CreateGadgetList(WindowID(#Window_1))
			CheckBoxGadget(#CheckBox_Autosave, 10, 10, 200, 20, "Save automatically")
			TextGadget(#Text_Delay, 10, 40, 100, 20, "Delay (min):")
			StringGadget(#String_Delay, 120, 40, 60, 20, "5", #PB_String_Numeric)
			ImageGadget(#Image_Logo, 200, 40, 64, 64, LoadImage(0, "logo.png"))
			;ButtonGadget(#Button_Help, 200, 160, 80, 25, "Help")
			ButtonGadget(#Button_0, 10, 160, 80, 25, "OK")
			ButtonGadget(#Button_Cancel, 100, 160, 80, 25, "Cancel") : GadgetToolTip(#Button_Cancel, "Close without saving")
		EndIf
		; context menu of the delay field
		If CreatePopupMenu(#Popup_Delay)
			MenuItem(#Popup_Reset, "Reset\tCtrl+R")
		EndIf
	EndIf
EndProcedure
