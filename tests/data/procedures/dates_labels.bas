' sub=1 function=0 get=0 let=0 set=0 declares=0 events=0 lloc=13 statements=19 cc=7 maxcc=7 longest=Dates/13 ; Dates kind=Sub line=2 span=13 code=13 lloc=13 statements=19 cc=7 cc2=7 depth=1
Public Sub Dates(ByVal k As Long)
    Dim d As Date: d = #12:30:00 PM#: d = #1/2/2000 10:15#
Again: k = k - 1
10 k = k + 1: GoTo Again
    Select Case k
        Case 1: d = #3:00#
        Case 2, 3: k = 0: Exit Sub
        Case Is > 10
        Case Else: k = 5
    End Select
    On k GoTo Again, Done, Again
Done:
End Sub
