' sub=0 function=0 get=1 let=1 set=0 declares=2 events=0 lloc=10 statements=13 cc=3 maxcc=2 longest=Width/5 ; Width kind=Get line=5 span=5 code=5 lloc=4 statements=6 cc=2 cc2=2 depth=0 ; Width kind=Let line=11 span=4 code=4 lloc=4 statements=5 cc=1 cc2=1 depth=0
Private Declare Function GetTickCount Lib "kernel32" () As Long
Public Declare Sub Sleep Lib "kernel32" (ByVal ms As Long)

Public Property Get Width() As Long
Attribute Width.VB_UserMemId = 0
    Width = Pic.Type + Pic.Width
    If Pic.Type Then Pic.Select: Pic.Loop = 2
End Property

Public Property Let Width(ByVal v As Long)
    Pic.Move Left:=v, Top:=0
    Call Resize(Height:=v): Pic.End = 1
End Property
