' sub=1 function=2 get=0 let=0 set=0 declares=0 events=0 lloc=15 statements=11 cc=4 maxcc=2 longest=Other/5 ; Pick kind=Function line=4 span=3 code=3 lloc=3 statements=3 cc=1 cc2=1 depth=0 twice ; Pick kind=Function line=8 span=3 code=3 lloc=3 statements=5 cc=2 cc2=2 depth=0 twice ; Other kind=Sub line=13 span=5 code=5 lloc=5 statements=3 cc=1 cc2=1 depth=0
#Const Fast = 1
#If Fast Then
Public Function Pick(ByVal a As Long) As Long
    Pick = a
End Function
#Else
Public Function Pick(ByVal a As Long) As Long
    If a Then Pick = 1 Else Pick = 2
End Function
#End If

Private Sub Other()
#If Fast Then
    Debug.Print 1
#End If
End Sub
