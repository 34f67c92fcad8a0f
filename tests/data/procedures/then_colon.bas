' sub=1 function=0 get=0 let=0 set=0 declares=0 events=0 lloc=5 statements=7 cc=3 maxcc=3 longest=Eval/5 ; Eval kind=Sub line=2 span=5 code=5 lloc=5 statements=7 cc=3 cc2=3 depth=1
Sub Eval(ByVal s As String)
    If s = "" Then: s = "x": Exit Sub
    If s = "a" Then ' a block after all
    End If
End Sub
