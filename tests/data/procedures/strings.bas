' sub=1 function=0 get=0 let=0 set=0 declares=0 events=0 lloc=7 statements=9 cc=1 maxcc=1 longest=Quotes/7 ; Quotes kind=Sub line=4 span=7 code=7 lloc=6 statements=8 cc=1 cc2=1 depth=0
Option Explicit

Private Sub Quotes()
    MsgBox "It's ""quoted"": don't split"
    s = "a'b" & "c:d": t = 1 ' real comment: x
    u = "an unclosed string _
    v = "x" _
      & "y": w = 2
End Sub
