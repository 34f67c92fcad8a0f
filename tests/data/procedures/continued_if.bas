' sub=1 function=1 get=0 let=0 set=0 declares=0 events=0 lloc=8 statements=13 cc=5 maxcc=4 longest=Check/9 ; One kind=Function line=2 span=1 code=1 lloc=1 statements=3 cc=1 cc2=1 depth=0 ; Check kind=Sub line=4 span=9 code=9 lloc=7 statements=10 cc=4 cc2=6 depth=1
Private Function One() As Long: One = 1: End Function

Private Sub Check(ByVal a As Long, ByVal b As Long)
    If a > 1 Or _
       b > 2 And a < b Then
        Exit Sub
    End If
    If a = b Then _
        Debug.Print "same"
    If a Then Exit Sub Else b = 1
End Sub
