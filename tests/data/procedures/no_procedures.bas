' sub=0 function=0 get=0 let=0 set=0 declares=0 events=0 lloc=7 statements=8 cc=0 maxcc=0 longest=/0
Option Explicit
Public Const Limit = 10: Dim x As Long
Private Type Point
    X As Long
    Y As Long
End Type
End Sub
